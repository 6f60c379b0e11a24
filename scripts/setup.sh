#!/usr/bin/env bash
# Installs what building, running and testing Tunewell needs on a Debian
# machine. Quick when everything is already there; stops with one line
# saying what failed otherwise.
set -u

fail() { echo "setup: $*" >&2; exit 1; }

packages=(g++-mingw-w64-i686 wine wine32:i386 xvfb sox lame
          googletest fonts-ipafont-gothic cmake make clang
          libclang-rt-14-dev locales)
# xdotool presses keys and opens menus on the virtual display for the key
# tests and the screenshots; imagemagick takes the screenshots.
packages+=(xdotool imagemagick)
# Wine plays MP3 and WMA through MCI on GStreamer: the ASF demuxer (ugly)
# and the WMA decoder (libav) besides the base and good sets; ffmpeg makes
# the WMA files the tests play, and unzip checks the download.
packages+=(gstreamer1.0-plugins-base:i386 gstreamer1.0-plugins-good:i386
           gstreamer1.0-plugins-ugly:i386 gstreamer1.0-libav:i386 ffmpeg
           unzip)
# xev and python3 time and summarise the player's benchmark.
packages+=(x11-utils python3)

need_install=0
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || { need_install=1; break; }
done

if [ "$need_install" = 1 ]; then
  [ "$(id -u)" = 0 ] || command -v sudo >/dev/null || fail "packages are missing and this user cannot install them (need root or sudo)"
  SUDO=""; [ "$(id -u)" = 0 ] || SUDO=sudo
  if ! dpkg --print-foreign-architectures | grep -qx i386; then
    $SUDO dpkg --add-architecture i386 || fail "could not add the i386 architecture"
  fi
  echo "setup: installing packages (${packages[*]})" >&2
  $SUDO apt-get update -qq >/dev/null 2>&1 || fail "apt-get update failed"
  DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq \
    "${packages[@]}" >/tmp/tunewell-apt.log 2>&1 \
    || fail "apt-get install failed (see /tmp/tunewell-apt.log): $(tail -n 1 /tmp/tunewell-apt.log)"
fi

# Wine keeps Shift-JIS file names as UTF-8 on the Linux side only when the
# Japanese UTF-8 locale exists.
if ! locale -a 2>/dev/null | grep -qix 'ja_JP.utf8'; then
  SUDO=""; [ "$(id -u)" = 0 ] || SUDO=sudo
  if ! grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null; then
    echo 'ja_JP.UTF-8 UTF-8' | $SUDO tee -a /etc/locale.gen >/dev/null || fail "could not add ja_JP.UTF-8 to /etc/locale.gen"
  fi
  $SUDO locale-gen >/tmp/tunewell-locale.log 2>&1 || fail "locale-gen failed (see /tmp/tunewell-locale.log)"
fi
exit 0
