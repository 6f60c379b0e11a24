#!/usr/bin/env bash
# Measures the whole player from outside, under Wine, against the floor
# program (bench/floor_window.cpp): start-up, CPU and wake-ups while playing
# and idle, peak memory, and memory growth while looping. Run by hand after
# a build; prints a table (and keeps each round in build/bench/player.log).
#
#   bench/player_bench.sh [--rounds N] [--seconds S] [--loop-seconds S]
#
# The sound goes to a FIFO that the measuring script reads at real time (a
# fixed 16-bit stereo 44.1 kHz device), so the programs play at their
# natural pace rather than the null device's four-odd times real time.
set -u
SCRIPT_NAME=bench/player_bench.sh
source "$(dirname "$0")/../scripts/common.sh"
[ -f "$BUILD/Tunewell.exe" ] && [ -f "$BUILD/VBMP3.dll" ] || fail "build first (scripts/build.sh)"
for tool in xev python3 sox lame Xvfb; do
  command -v "$tool" >/dev/null || fail "$tool is missing (scripts/setup.sh installs it)"
done

# The floor program is a target of the build itself, with the player's own
# flags.
cmake --build "$BUILD" --target floor_window >"$BUILD/bench-floor.log" 2>&1 \
  || fail "could not build the floor program (see $BUILD/bench-floor.log)"

OUT="$BUILD/bench"
mkdir -p "$OUT"
tone() { # tone FILE SECONDS: a 44.1 kHz 16-bit stereo sine
  sox -R -n -r 44100 -c 2 -b 16 "$1" synth "$2" sine 440 vol 0.5
}
[ -f "$OUT/play60.wav" ] || tone "$OUT/play60.wav" 60
[ -f "$OUT/play60.mp3" ] || lame --quiet -b 128 "$OUT/play60.wav" "$OUT/play60.mp3"
[ -f "$OUT/loop2.wav" ] || tone "$OUT/loop2.wav" 2
[ -f "$OUT/loop2.mp3" ] || lame --quiet -b 128 "$OUT/loop2.wav" "$OUT/loop2.mp3"
EMPTY="$OUT/empty-folder"
rm -rf "$EMPTY" && mkdir -p "$EMPTY"
# The player started without the engine beside it.
ALONE="$OUT/player-alone"
mkdir -p "$ALONE" && cp "$BUILD/Tunewell.exe" "$ALONE/"
rm -f "$ALONE/VBMP3.dll"

# The bench prefix's own HOME, as bench/run.sh uses it; only .asoundrc
# changes, and it is written again by each benchmark.
export HOME="$BUILD/wine/bench-home"
mkdir -p "$HOME/Desktop" "$HOME/Documents"
FIFO="$OUT/sound.fifo"
rm -f "$FIFO" && mkfifo "$FIFO" || fail "could not make the FIFO $FIFO"
cat >"$HOME/.asoundrc" <<ASOUND
pcm.!default {
  type plug
  slave {
    pcm "benchsink"
    format S16_LE
    rate 44100
    channels 2
  }
}
pcm.benchsink {
  type file
  slave.pcm "null"
  file "$FIFO"
  format "raw"
}
ASOUND

cleanup() {
  [ -n "${WINEPREFIX:-}" ] && wineserver -k >/dev/null 2>&1
  stop_display
  rm -f "$FIFO"
}
trap cleanup EXIT

start_display
wine_env "$BUILD/wine/bench-prefix"
wine_settings bench-settings-1 \
  'HKCU\Software\Wine\WineDbg' ShowCrashDialog REG_DWORD 0 \
  'HKCU\Software\Wine\X11 Driver' Managed REG_SZ N
# One server for the whole run, as on a desktop where it is already up.
wineserver -p || fail "could not start the wineserver"
rm -f "$OUT/program.log"

LC_ALL=ja_JP.UTF-8 LANG=ja_JP.UTF-8 python3 "$TOP/bench/player_bench.py" \
  --player "$BUILD/Tunewell.exe" --player-alone "$ALONE/Tunewell.exe" \
  --floor "$BUILD/bench/floor_window.exe" --engine "$BUILD/VBMP3.dll" \
  --wav "$OUT/play60.wav" --mp3 "$OUT/play60.mp3" \
  --short-wav "$OUT/loop2.wav" --short-mp3 "$OUT/loop2.mp3" \
  --empty "$EMPTY" --fifo "$FIFO" --out "$OUT" --log "$OUT/player.log" "$@"
