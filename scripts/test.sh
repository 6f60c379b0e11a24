#!/usr/bin/env bash
# Installs what is missing, builds, and runs every test with ctest in a
# private Wine prefix and virtual display, with sound going to a file.
# Extra arguments go to ctest (for example -R playlist).
set -u
SCRIPT_NAME=test.sh
source "$(dirname "$0")/common.sh"
install_packages
build_all

# A HOME of the tests' own, kept for the prefix's whole life: Wine links
# the prefix's shell folders into it, and ALSA reads .asoundrc from it.
TEST_HOME="$BUILD/wine/test-home"
mkdir -p "$TEST_HOME/Desktop" "$TEST_HOME/Documents"
export HOME="$TEST_HOME"
export TUNEWELL_SOUND_FILE="$TEST_HOME/sound.raw"
cat >"$TEST_HOME/.asoundrc" <<ASOUND
pcm.!default {
  type file
  slave.pcm "null"
  file "$TUNEWELL_SOUND_FILE"
  format "raw"
}
ASOUND

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
LC_ALL=ja_JP.UTF-8 LANG=ja_JP.UTF-8 ctest --output-on-failure "$@" 2>&1 | tee "$BUILD/ctest.log"
status=${PIPESTATUS[0]}
exit "$status"
