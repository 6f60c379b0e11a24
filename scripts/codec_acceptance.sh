#!/usr/bin/env bash
# The acceptance run for FLAC, Ogg Vorbis, Opus and M4A, by hand after a
# build: real-world files that the tests have not seen, taken from the test
# data that Debian's source packages of two tag libraries (TagLib, Quod
# Libet) and of the decoder libraries themselves carry. Files made by many
# encoders over many years, with odd metadata, empty streams and broken
# ones among them. For each, the format's own decoder (flac, oggdec,
# opusdec) makes the reference; tests/acceptance/codec_acceptance.cpp then
# compares what the engine makes of it, and sends the whole player through
# a folder of all of them. Prints a line a file and gtest's verdict.
set -u
SCRIPT_NAME=scripts/codec_acceptance.sh
source "$(dirname "$0")/common.sh"
[ -f "$BUILD/CMakeCache.txt" ] || fail "build first (scripts/build.sh)"
for tool in flac metaflac oggdec opusdec ffprobe sox Xvfb; do
  command -v "$tool" >/dev/null || fail "$tool is missing (scripts/setup.sh installs it)"
done
cmake --build "$BUILD" --target codec_acceptance >"$BUILD/acceptance-build.log" 2>&1 \
  || fail "could not build the acceptance program (see $BUILD/acceptance-build.log)"

ACC="$BUILD/acceptance"
SOURCES="$ACC/sources"
FILES="$ACC/files"
REFS="$ACC/refs"
# The source packages whose test data is taken, pinned like the decoders.
PACKAGES=(taglib=1.13-2+deb12u1 quodlibet=4.5.0-2)

# The private apt configuration of scripts/build_codecs.sh (bookworm's
# source packages only), which every build has made.
APT_CONF="$BUILD/codecs/apt/apt.conf"
[ -f "$APT_CONF" ] || fail "no $APT_CONF: run scripts/build.sh, whose decoder build makes it"
mkdir -p "$SOURCES" || fail "could not make $SOURCES"
for package in "${PACKAGES[@]}"; do
  name=${package%%=*} version=${package#*=}
  upstream=${version%-*}
  tarball=$(ls "$SOURCES/${name}_${upstream}".orig.tar.* 2>/dev/null | head -n 1)
  if [ -z "$tarball" ]; then
    APT_CONFIG="$APT_CONF" apt-get update -q >"$SOURCES/apt-update.log" 2>&1 \
      || fail "could not read bookworm's source package lists (see $SOURCES/apt-update.log)"
    (cd "$SOURCES" && APT_CONFIG="$APT_CONF" apt-get source -q --download-only "$package") \
      >"$SOURCES/$name-fetch.log" 2>&1
    tarball=$(ls "$SOURCES/${name}_${upstream}".orig.tar.* 2>/dev/null | head -n 1)
    [ -n "$tarball" ] || fail "could not fetch the source of $package (see $SOURCES/$name-fetch.log)"
  fi
done

# Every sound file of those sources under an ASCII name that says where it
# came from (the player's code page cannot hold some of their names).
rm -rf "$FILES" "$REFS" "$ACC/unpacked" && mkdir -p "$FILES" "$REFS" "$ACC/unpacked" \
  || fail "could not make $ACC"
for tarball in "$SOURCES"/*.orig.tar.*; do
  tar -xf "$tarball" -C "$ACC/unpacked" --wildcards --no-anchored \
    '*.flac' '*.ogg' '*.oga' '*.opus' '*.m4a' 2>/dev/null
done
[ -d "$BUILD/codecs/src" ] && cp -r "$BUILD/codecs/src" "$ACC/unpacked/codecs"
n=0
while IFS= read -r -d '' file; do
  relative=${file#"$ACC/unpacked/"}
  relative=${relative#codecs/}
  origin=${relative%%[-_/]*}
  base=$(basename "$file")
  extension=${base##*.}
  stem=$(printf '%s' "${base%.*}" | LC_ALL=C tr -c 'A-Za-z0-9._-' '_')
  n=$((n + 1))
  cp "$file" "$FILES/$(printf '%02d' "$n")-$origin-$stem.$extension"
done < <(find "$ACC/unpacked" -type f \( -iname '*.flac' -o -iname '*.ogg' -o -iname '*.oga' \
           -o -iname '*.opus' -o -iname '*.m4a' \) -print0 | sort -z)
[ "$n" -gt 0 ] || fail "the sources held no sound files"
rm -rf "$ACC/unpacked"

# The reference decodes: NAME.raw and NAME.txt ("CHANNELS BITS") for each
# file its format's decoder reads.
for file in "$FILES"/*; do
  name=$(basename "$file")
  probe() { ffprobe -v error -select_streams a:0 -show_entries "stream=$1" -of default=nw=1:nk=1 "$file" 2>/dev/null | head -n 1; }
  codec=$(probe codec_name)
  channels=$(probe channels)
  case "$codec" in
    flac)
      [ "${name##*.}" = flac ] || continue # FLAC inside Ogg: for the media services
      flac --silent --force -d --force-raw-format --endian=little --sign=signed \
        -o "$REFS/$name.raw" "$file" 2>/dev/null || { rm -f "$REFS/$name.raw"; continue; }
      echo "$(metaflac --show-channels "$file") $(metaflac --show-bps "$file")" >"$REFS/$name.txt" ;;
    vorbis)
      oggdec --quiet -R -o "$REFS/$name.raw" "$file" 2>/dev/null || { rm -f "$REFS/$name.raw"; continue; }
      echo "$channels 16" >"$REFS/$name.txt" ;;
    opus)
      opusdec --quiet --rate 48000 --no-dither "$file" "$ACC/opus.wav" 2>/dev/null \
        && sox "$ACC/opus.wav" -t raw -e signed -b 16 "$REFS/$name.raw" || { rm -f "$REFS/$name.raw"; continue; }
      # opusdec mixes more than two channels down itself, as the engine does.
      echo "$(soxi -c "$ACC/opus.wav") 16" >"$REFS/$name.txt"
      rm -f "$ACC/opus.wav" ;;
  esac
done
echo "$SCRIPT_NAME: $n files in $FILES, $(ls "$REFS"/*.txt 2>/dev/null | wc -l) with a reference decode" >&2

# The tests' own prefix and display, sound to the null device.
wine_home "$BUILD/wine/acceptance-home" /dev/null
cleanup() {
  [ -n "${WINEPREFIX:-}" ] && wineserver -k >/dev/null 2>&1
  stop_display
}
trap cleanup EXIT
start_display
wine_env "$BUILD/wine/acceptance-prefix"
wine_settings acceptance-settings-1 \
  'HKCU\Software\Wine\WineDbg' ShowCrashDialog REG_DWORD 0 \
  'HKCU\Software\Wine\X11 Driver' Managed REG_SZ N
TUNEWELL_ACCEPTANCE=$(winepath -w "$ACC" 2>/dev/null)
export TUNEWELL_ACCEPTANCE WINEDEBUG=-all
cd "$BUILD/tests/acceptance" || fail "no $BUILD/tests/acceptance"
# A hang fails the run rather than holding it.
LC_ALL=ja_JP.UTF-8 LANG=ja_JP.UTF-8 timeout 1800 wine ./codec_acceptance.exe "$@"
status=$?
[ "$status" = 124 ] && fail "the acceptance run did not end within 30 minutes: something hangs"
exit "$status"
