#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test with ctest in a
# private Wine prefix and virtual display, with sound going to a file.
# Extra arguments go to ctest (for example -R playlist).
set -u
SCRIPT_NAME=test.sh
source "$(dirname "$0")/common.sh"
install_packages
build_all

# The sound lands in a file that the tests check; a test that finds none
# fails.
TEST_HOME="$BUILD/wine/test-home"
export TUNEWELL_SOUND_FILE="$TEST_HOME/sound.raw"
wine_home "$TEST_HOME" "$TUNEWELL_SOUND_FILE"

cleanup() {
  [ -n "${WINEPREFIX:-}" ] && wineserver -k >/dev/null 2>&1
  stop_display
}
trap cleanup EXIT

start_display
wine_env "$BUILD/wine/test-prefix"
# A crash must end its test program, not wait for someone to close a dialog.
# No window manager runs on the virtual display: unmanaged windows spare
# Wine its wait for one each time a window is destroyed.
wine_settings test-settings-1 \
  'HKCU\Software\Wine\WineDbg' ShowCrashDialog REG_DWORD 0 \
  'HKCU\Software\Wine\X11 Driver' Managed REG_SZ N

cd "$BUILD" || fail "no build directory"
echo "test.sh: running the tests (ctest; the engine and program tests take longest)" >&2
# Two at a time: the native fuzzers run beside the Wine programs, which
# take turns (see tests/CMakeLists.txt).
# Wine's own MP3 decoder reports every damaged frame the tests feed it on
# stderr; ctest.log keeps those lines, the screen does not, so that a
# failing test's own report stays in sight.
WINE_DECODER_CHATTER='^\[libs/mpg123/|^Note: (Illegal Audio-MPEG-Header|Trying to resync|Skipped [0-9]+ bytes)|^Warning: Big change from first'
LC_ALL=ja_JP.UTF-8 LANG=ja_JP.UTF-8 ctest -j 2 --output-on-failure "$@" 2>&1 | tee "$BUILD/ctest.log" \
  | grep --line-buffered -v -E "$WINE_DECODER_CHATTER"
status=${PIPESTATUS[0]}
exit "$status"
