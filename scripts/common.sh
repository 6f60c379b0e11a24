# Shared by run.sh, test.sh, build.sh and bench/run.sh: paths, the build,
# Wine prefixes, the sound output and the virtual display. Sourced, not run.

TOP=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
BUILD="$TOP/build"

fail() { echo "$SCRIPT_NAME: $*" >&2; exit 1; }

install_packages() {
  "$TOP/scripts/setup.sh" || exit 1
}

# Reads the build's output and says every fifth of the way how far it is,
# for builds that compile anything; an up-to-date build says nothing.
report_build_progress() {
  awk -v name="$SCRIPT_NAME" -v shown=0 '
    match($0, /^\[ *[0-9]+%\] (Building|Linking)/) {
      percent = substr($0, 2, index($0, "%") - 2) + 0
      step = int(percent / 20) * 20
      if (step > shown) { printf "%s: building, %d%% done\n", name, step; fflush(); shown = step }
    }'
}

build_all() {
  local log="$BUILD/build.log" configure_log="$BUILD/configure.log"
  mkdir -p "$BUILD"
  # The decoder libraries first: configuring looks for them.
  "$TOP/scripts/build_codecs.sh" || exit 1
  if [ ! -f "$BUILD/CMakeCache.txt" ]; then
    echo "$SCRIPT_NAME: configuring the build (CMake, MinGW-w64 i686)" >&2
    cmake -S "$TOP" -B "$BUILD" -DCMAKE_TOOLCHAIN_FILE="$TOP/cmake/mingw-i686.cmake" >"$configure_log" 2>&1 \
      || { tail -n 20 "$configure_log" >&2; fail "configuring the build failed (see $configure_log)"; }
    echo "$SCRIPT_NAME: building the player, its MP3 engine and the tests (a first build takes minutes; log: $log)" >&2
  fi
  cmake --build "$BUILD" -j "$(nproc)" 2>&1 | tee "$log" | report_build_progress >&2
  [ "${PIPESTATUS[0]}" = 0 ] \
    || { grep -E "error|Error" "$log" | head -n 20 >&2; fail "the build failed (see $log)"; }
  [ -f "$BUILD/Tunewell.exe" ] || fail "the build did not produce build/Tunewell.exe"
}

# Tunewell is a 32-bit program and runs under 32-bit Wine, whose loader is a
# 32-bit Linux program. A kernel booted without its 32-bit emulation
# refuses every such program ("Exec format error"); say so, rather than
# leaving the next step to fail with no reason given.
require_32bit_programs() {
  local loader=/usr/lib/wine/wine output
  [ -x "$loader" ] || fail "32-bit Wine is missing ($loader); scripts/setup.sh installs wine32:i386"
  output=$("$loader" --version 2>&1) && return 0
  case "$output" in
    *"Exec format error"*|*"cannot execute binary file"*)
      fail "this machine's kernel does not run 32-bit programs, so 32-bit Wine cannot start" \
           "(its 32-bit emulation is off: the kernel needs the boot option ia32_emulation=on)" ;;
    *) fail "32-bit Wine does not start: $output" ;;
  esac
}

# wine_env PREFIX: exports the Wine settings for a prefix of the project's
# own, in ANSI code page 932, and creates the prefix when it is new.
wine_env() {
  export WINEPREFIX="$1" WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
  require_32bit_programs
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    mkdir -p "$WINEPREFIX"
    echo "$SCRIPT_NAME: creating the Wine prefix $WINEPREFIX" >&2
    LC_ALL=ja_JP.UTF-8 LANG=ja_JP.UTF-8 wineboot -i >/dev/null 2>&1 \
      || fail "could not create the Wine prefix $WINEPREFIX"
    wineserver -w
  fi
  # MCI opens a file by the device its extension names. Windows lists M4A
  # (and, with its newer media services, FLAC, Ogg and Opus) for its media
  # player device; Wine's own list stops at the older kinds, although its
  # media services play these too.
  local extensions='HKLM\Software\Microsoft\Windows NT\CurrentVersion\MCI Extensions'
  wine_settings media-extensions-1 \
    "$extensions" m4a REG_SZ MPEGVideo \
    "$extensions" flac REG_SZ MPEGVideo \
    "$extensions" ogg REG_SZ MPEGVideo \
    "$extensions" opus REG_SZ MPEGVideo
}

# wine_settings NAME 'KEY' VALUE-NAME TYPE DATA ...: registry settings for
# the prefix, applied once (a marker file named NAME remembers them).
wine_settings() {
  local marker="$WINEPREFIX/.tunewell-$1"
  shift
  [ -f "$marker" ] && return 0
  while [ $# -ge 4 ]; do
    wine reg add "$1" /v "$2" /t "$3" /d "$4" /f >/dev/null 2>&1 \
      || fail "could not set $1\\$2 in the Wine prefix"
    shift 4
  done
  wineserver -w
  touch "$marker"
}

# wine_home DIR SOUND: makes DIR the HOME that Wine runs with, kept for a
# prefix's whole life (Wine links the prefix's shell folders into it), and
# sends everything played through ALSA's default device into the file
# SOUND as raw PCM (/dev/null to hear nothing).
wine_home() {
  export HOME="$1"
  mkdir -p "$HOME/Desktop" "$HOME/Documents" || fail "could not make the Wine home $HOME"
  cat >"$HOME/.asoundrc" <<ASOUND
pcm.!default {
  type file
  slave.pcm "null"
  file "$2"
  format "raw"
}
ASOUND
}

# start_display: a virtual X display of our own; stopped by stop_display.
XVFB_PID=""
start_display() {
  local n
  for n in $(seq 90 250); do
    [ -e "/tmp/.X$n-lock" ] || [ -e "/tmp/.X11-unix/X$n" ] && continue
    Xvfb ":$n" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    XVFB_PID=$!
    local tries=0
    while [ ! -e "/tmp/.X11-unix/X$n" ] && [ $tries -lt 100 ]; do
      kill -0 "$XVFB_PID" 2>/dev/null || break
      sleep 0.1; tries=$((tries + 1))
    done
    if [ -e "/tmp/.X11-unix/X$n" ]; then
      export DISPLAY=":$n"
      return 0
    fi
    kill "$XVFB_PID" 2>/dev/null; XVFB_PID=""
  done
  fail "could not start a virtual display (Xvfb)"
}

stop_display() {
  [ -n "$XVFB_PID" ] && kill "$XVFB_PID" 2>/dev/null && wait "$XVFB_PID" 2>/dev/null
  XVFB_PID=""
}
