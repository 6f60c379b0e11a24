#!/usr/bin/env bash
# download.sh unpack BUILD VERSION RECORD: makes the Windows zip with the
#   build's own package target, checks what it holds, unpacks it into a
#   fresh folder whose path has a space and a Japanese name, and writes
#   that folder's path into RECORD.
# download.sh remove RECORD: removes what unpack made.
set -eu
fail() { echo "download.sh: $*" >&2; exit 1; }

remove() {
  local record=$1 folder
  [ -f "$record" ] || return 0
  folder=$(cat "$record")
  # The folder sits one level below the temporary folder that mktemp made.
  case "$folder" in
    */tunewell-download.*/*) rm -rf "$(dirname "$folder")" ;;
  esac
  rm -f "$record"
}

case "${1:-}" in
  remove) remove "$2"; exit 0 ;;
  unpack) ;;
  *) fail "usage: download.sh unpack BUILD VERSION RECORD | remove RECORD" ;;
esac
build=$2 version=$3 record=$4
remove "$record"

zip="$build/Tunewell-$version-win32.zip"
rm -f "$zip"
cmake --build "$build" --target package >"$build/package.log" 2>&1 \
  || { tail -n 20 "$build/package.log" >&2; fail "the package target failed (see $build/package.log)"; }
[ -f "$zip" ] || fail "the package target did not make $zip"

names=$(unzip -Z1 "$zip" | sort | tr '\n' ' ')
[ "$names" = "Licenses.txt ReadMe.txt Tunewell.exe VBMP3.dll " ] \
  || fail "$zip holds '$names', not Licenses.txt, ReadMe.txt, Tunewell.exe and VBMP3.dll"

top=$(mktemp -d "${TMPDIR:-/tmp}/tunewell-download.XXXXXX")
folder="$top/音楽 プレーヤー"
mkdir "$folder"
unzip -q "$zip" -d "$folder" || fail "unzip could not unpack $zip"
mkdir -p "$(dirname "$record")"
printf '%s\n' "$folder" >"$record"
echo "download.sh: unpacked $zip into $folder"
