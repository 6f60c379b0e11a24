#!/usr/bin/env bash
# Installs what is missing, builds, and starts Tunewell under Wine in the
# caller's current directory (where it looks for "list.txt" and "bg.bmp").
# Linux paths among the arguments are handed over as Windows paths.
set -u
SCRIPT_NAME=run.sh
source "$(dirname "$0")/common.sh"
install_packages
build_all

if [ -z "${DISPLAY:-}" ]; then
  start_display
  echo "run.sh: no DISPLAY, so Tunewell runs on the virtual display $DISPLAY" >&2
  trap 'stop_display' EXIT
fi
wine_env "$BUILD/wine/run-prefix"

args=()
for a in "$@"; do
  if [ -e "$a" ] || [[ "$a" == /* ]]; then
    args+=("$(winepath -w "$a" 2>/dev/null || echo "$a")")
  else
    args+=("$a")
  fi
done
LC_ALL=ja_JP.UTF-8 LANG=ja_JP.UTF-8 wine "$BUILD/Tunewell.exe" "${args[@]}"
