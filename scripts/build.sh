#!/usr/bin/env bash
# Builds build/Tunewell.exe, VBMP3.dll and the tests.
set -u
SCRIPT_NAME=build.sh
source "$(dirname "$0")/common.sh"
install_packages
build_all
echo "build.sh: built $BUILD/Tunewell.exe"
