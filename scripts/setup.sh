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
# scripts/build_codecs.sh fetches the decoder libraries' Debian sources:
# dpkg-source unpacks them, the archive keyring checks the package lists.
packages+=(dpkg-dev debian-archive-keyring)
# The engine tests make their FLAC, Ogg Vorbis and Opus files with each
# format's own encoder, and compare with what its own decoder makes.
packages+=(flac vorbis-tools opus-tools)

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
  echo "setup: updating the package lists" >&2
  $SUDO apt-get update -qq >/dev/null 2>&1 || fail "apt-get update failed"
  echo "setup: installing packages, which can take several minutes (${packages[*]})" >&2
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
  echo "setup: making the ja_JP.UTF-8 locale" >&2
  $SUDO locale-gen >/tmp/tunewell-locale.log 2>&1 || fail "locale-gen failed (see /tmp/tunewell-locale.log)"
fi

# Wine's loader is a 32-bit Linux program. A kernel booted without its
# 32-bit emulation (some virtual machines are) refuses every such program;
# QEMU's user-mode i386 emulator, registered with the kernel for i386
# programs, runs them instead. Bookworm's QEMU 7.2 cannot map the memory
# Wine asks for; trixie's runs it. Its emulator is one static program,
# fetched with a private apt configuration that leaves the machine's own
# alone.
QEMU_I386=/usr/local/lib/tunewell/qemu-i386
BINFMT=/proc/sys/fs/binfmt_misc
runs_32bit() { /usr/lib/wine/wine --version >/dev/null 2>&1; }

fetch_qemu_i386() {
  local work
  work=$(mktemp -d) || fail "no temporary folder for QEMU's emulator"
  mkdir -p "$work/lists/partial" "$work/cache/archives/partial" "$work/etc"
  echo "deb http://deb.debian.org/debian trixie main" >"$work/etc/sources.list"
  cat >"$work/apt.conf" <<APT
Dir::Etc::SourceList "$work/etc/sources.list";
Dir::Etc::SourceParts "/nonexistent";
Dir::State::Lists "$work/lists";
Dir::Cache "$work/cache";
Dir::State::Status "/var/lib/dpkg/status";
APT
  echo "setup: this kernel does not run 32-bit programs; fetching QEMU's i386 emulator for 32-bit Wine" >&2
  (cd "$work" && APT_CONFIG="$work/apt.conf" apt-get update -qq >/dev/null 2>&1 \
     && APT_CONFIG="$work/apt.conf" apt-get download -qq qemu-user >/dev/null 2>&1) \
    || { rm -rf "$work"; fail "could not download QEMU's user-mode emulator (package qemu-user, trixie)"; }
  dpkg-deb -x "$work"/qemu-user_*.deb "$work/root" \
    && $SUDO mkdir -p "$(dirname "$QEMU_I386")" \
    && $SUDO cp "$work/root/usr/bin/qemu-i386" "$QEMU_I386" \
    || { rm -rf "$work"; fail "could not unpack QEMU's i386 emulator"; }
  rm -rf "$work"
}

if ! runs_32bit; then
  SUDO=""; [ "$(id -u)" = 0 ] || SUDO=sudo
  [ -x "$QEMU_I386" ] || fetch_qemu_i386
  if [ ! -e "$BINFMT/register" ]; then
    $SUDO mount -t binfmt_misc binfmt_misc "$BINFMT" || fail "could not mount $BINFMT to register the i386 emulator"
  fi
  if [ ! -e "$BINFMT/tunewell-i386" ]; then
    # i386 ELF executables and shared objects; F: the kernel keeps the
    # emulator open, so it works in any mount namespace.
    printf '%s' ':tunewell-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:'"$QEMU_I386"':F' \
      | $SUDO tee "$BINFMT/register" >/dev/null || fail "could not register the i386 emulator with the kernel"
  fi
  runs_32bit || fail "32-bit Wine does not start, even through QEMU's i386 emulator ($QEMU_I386)"
  echo "setup: 32-bit programs run through QEMU's i386 emulator ($QEMU_I386)" >&2
fi
exit 0
