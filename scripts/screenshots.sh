#!/usr/bin/env bash
# Builds Tunewell, starts it under Wine on a virtual display of its own with
# a few tracks playing, and writes two pictures of just the player into
# docs/: docs/player.png (a track playing) and docs/player-menu.png (the
# right-click menu open, with its list submenu). Run it by hand after the
# face or the menu changed, and commit the pictures.
set -u
SCRIPT_NAME=screenshots.sh
source "$(dirname "$0")/common.sh"
install_packages
build_all

DOCS="$TOP/docs"
mkdir -p "$DOCS"
WORK=$(mktemp -d "${TMPDIR:-/tmp}/tunewell-shots.XXXXXX")
PROGRAM_PID=""
cleanup() {
  [ -n "$PROGRAM_PID" ] && kill "$PROGRAM_PID" 2>/dev/null
  [ -n "${WINEPREFIX:-}" ] && wineserver -k >/dev/null 2>&1
  stop_display
  rm -rf "$WORK"
}
trap cleanup EXIT

# Three tracks with names and lengths like real ones; they play through
# the MP3 engine beside the program, so the time runs.
MUSIC="$WORK/Music"
mkdir -p "$MUSIC"
while IFS=: read -r name seconds frequency; do
  sox -R -n -r 22050 -c 1 -b 16 "$WORK/tone.wav" synth "$seconds" sine "$frequency" vol 0.3 \
    || fail "sox could not make a tone"
  lame --quiet -b 32 "$WORK/tone.wav" "$MUSIC/$name.mp3" || fail "lame could not encode $name.mp3"
done <<'TRACKS'
01 朝の散歩:192:330
02 Evening Rain:245:440
03 雨上がり:171:550
TRACKS
cp "$BUILD/Tunewell.exe" "$BUILD/VBMP3.dll" "$WORK/" || fail "no program or engine in $BUILD"

# Sound goes to the null device: without a sound device the engine cannot
# play, and the track would leave the list.
SHOTS_HOME="$BUILD/wine/shots-home"
mkdir -p "$SHOTS_HOME/Desktop" "$SHOTS_HOME/Documents"
export HOME="$SHOTS_HOME"
cat >"$SHOTS_HOME/.asoundrc" <<'ASOUND'
pcm.!default {
  type null
}
ASOUND

start_display
wine_env "$BUILD/wine/shots-prefix"
wine_settings shots-settings-1 \
  'HKCU\Software\Wine\WineDbg' ShowCrashDialog REG_DWORD 0 \
  'HKCU\Software\Wine\X11 Driver' Managed REG_SZ N

cd "$MUSIC" || fail "no music folder"
LC_ALL=ja_JP.UTF-8 LANG=ja_JP.UTF-8 wine "$WORK/Tunewell.exe" "$(winepath -w "$MUSIC")" \
  >"$BUILD/screenshots-wine.log" 2>&1 &
PROGRAM_PID=$!

# wait_for SECONDS COMMAND...: runs COMMAND every tenth of a second until
# it succeeds; false when SECONDS pass first.
wait_for() {
  local limit=$(($1 * 10)) tries=0
  shift
  until "$@"; do
    tries=$((tries + 1))
    [ $tries -ge $limit ] && return 1
    kill -0 "$PROGRAM_PID" 2>/dev/null || return 1
    sleep 0.1
  done
}

player_window() { xdotool search --onlyvisible --name '^Tunewell$' 2>/dev/null | head -n 1; }
window_shown() { [ -n "$(player_window)" ]; }
wait_for 60 window_shown || fail "the player's window did not show (see $BUILD/screenshots-wine.log)"
WINDOW=$(player_window)
eval "$(xdotool getwindowgeometry --shell "$WINDOW")" # X, Y, WIDTH, HEIGHT
[ "$WIDTH" = 250 ] && [ "$HEIGHT" = 100 ] || fail "the player's window is ${WIDTH}x$HEIGHT, not 250x100"
CROP="${WIDTH}x$HEIGHT+$X+$Y"

# A track plays when the time on the face moves: two looks a moment apart
# differ.
shot() { import -window root -crop "$1" +repage "$2"; }
time_moves() {
  shot "$CROP" "$WORK/a.png"
  sleep 0.3
  shot "$CROP" "$WORK/b.png"
  ! compare -metric AE "$WORK/a.png" "$WORK/b.png" null: >/dev/null 2>&1
}
wait_for 30 time_moves || fail "no track plays: the face's time does not move"
shot "$CROP" "$DOCS/player.png" || fail "could not take the picture"
echo "screenshots.sh: wrote $DOCS/player.png"

# The context menu: right-click the face, then walk down to the list
# ("再生リスト", the fifth item) and open it.
visible_windows() { xdotool search --onlyvisible --name '' 2>/dev/null | sort; }
window_count() { visible_windows | wc -l; }
more_windows_than() { [ "$(window_count)" -gt "$1" ]; }
before=$(window_count)
xdotool mousemove --sync $((X + 60)) $((Y + 30)) click 3
wait_for 10 more_windows_than "$before" || fail "the context menu did not open"
xdotool key Down Down Down Down Down Right
wait_for 10 more_windows_than "$((before + 1))" || fail "the playlist submenu did not open"
# A moment for the submenu to paint itself.
sleep 0.5

# Crop to the player, the menu and its submenu together: the smallest box
# around every visible window that is not the whole screen.
read -r SCREEN_W SCREEN_H < <(xdotool getdisplaygeometry)
left=100000 top=100000 right=0 bottom=0
for w in $(visible_windows); do
  eval "$(xdotool getwindowgeometry --shell "$w")"
  [ "$WIDTH" -ge "$SCREEN_W" ] && [ "$HEIGHT" -ge "$SCREEN_H" ] && continue
  [ "$X" -lt "$left" ] && left=$X
  [ "$Y" -lt "$top" ] && top=$Y
  [ $((X + WIDTH)) -gt "$right" ] && right=$((X + WIDTH))
  [ $((Y + HEIGHT)) -gt "$bottom" ] && bottom=$((Y + HEIGHT))
done
shot "$((right - left))x$((bottom - top))+$left+$top" "$DOCS/player-menu.png" \
  || fail "could not take the picture"
echo "screenshots.sh: wrote $DOCS/player-menu.png"
xdotool key Escape Escape
