#!/usr/bin/env bash
# Builds the decoder libraries that the MP3 engine links statically:
# libogg, libvorbis (with vorbisfile), libopus, opusfile and libFLAC, from
# Debian bookworm's source packages with Debian's patches applied, for
# 32-bit Windows (MinGW-w64 i686), into build/codecs/prefix. Each is built
# once per version: a stamp in the prefix remembers it, and a run that
# finds every stamp current does nothing and says nothing.
# build_all (scripts/common.sh) runs this before CMake configures.
set -u
SCRIPT_NAME=build_codecs.sh
source "$(dirname "$0")/common.sh"

CODECS="$BUILD/codecs"
PREFIX="$CODECS/prefix"
STAMPS="$PREFIX/stamps"
LOGS="$CODECS/logs"
TOOLCHAIN="$TOP/cmake/mingw-i686.cmake"

# The bookworm versions, pinned so that every machine builds the same
# code. When bookworm replaces one, its fetch fails and says so: set the
# new version here.
declare -A VERSION=(
  [libogg]=1.3.5-3
  [libvorbis]=1.3.7-1
  [opus]=1.3.1-3
  [opusfile]=0.12-4
  [flac]=1.4.2+ds-2
)

# Said to every library's CMake: release, static, installed into the prefix.
COMMON_ARGS=(-DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" -DCMAKE_BUILD_TYPE=Release
             -DBUILD_SHARED_LIBS=OFF -DCMAKE_INSTALL_PREFIX="$PREFIX"
             -DCMAKE_INSTALL_LIBDIR=lib -DCMAKE_INSTALL_INCLUDEDIR=include
             -DBUILD_TESTING=OFF)

OGG_ARGS=(-DINSTALL_DOCS=OFF -DINSTALL_PKG_CONFIG_MODULE=OFF)
# Against the libogg just built, through its installed CMake package
# (libvorbis's own FindOgg would ask pkg-config, which may offer the
# machine's libogg).
VORBIS_ARGS=(-DCMAKE_FIND_PACKAGE_PREFER_CONFIG=ON -DOgg_DIR="$PREFIX/lib/cmake/Ogg")
# Opus 1.3.1's CMake adds -msse, -msse2, -msse4.1 and -mavx to every file
# the compiler accepts them for, so the whole library would need an AVX
# processor. Answering its checks "no" leaves it plain C, which runs on any
# i686. Without Git it takes its version from the source, not from the
# nearest repository around the build folder (this one). Its CMake does
# not look for lrintf as its configure does; without it every sample is
# rounded through floor().
OPUS_ARGS=(-DOPUS_BUILD_PROGRAMS=OFF -DOPUS_STACK_PROTECTOR=OFF
           -DOPUS_INSTALL_PKG_CONFIG_MODULE=OFF
           -DSSE1_SUPPORTED=OFF -DSSE2_SUPPORTED=OFF -DSSE4_1_SUPPORTED=OFF
           -DAVX_SUPPORTED=OFF -DCMAKE_DISABLE_FIND_PACKAGE_Git=ON
           "-DCMAKE_C_FLAGS=-DHAVE_LRINTF -DHAVE_LRINT")
OPUSFILE_CMAKE="$TOP/engine/codecs/opusfile/CMakeLists.txt"
# No Ogg FLAC, no libFLAC++. No stack protector or fortified calls either:
# on MinGW they would make every program that links libFLAC need libssp.
FLAC_ARGS=(-DWITH_OGG=OFF -DBUILD_CXXLIBS=OFF -DBUILD_PROGRAMS=OFF
           -DBUILD_EXAMPLES=OFF -DBUILD_DOCS=OFF -DINSTALL_MANPAGES=OFF
           -DINSTALL_PKGCONFIG_MODULES=OFF -DWITH_STACK_PROTECTOR=OFF
           -DWITH_FORTIFY_SOURCE=OFF)

# What a build depends on besides the version: this script (its options
# and steps), the opusfile build and the toolchain. A stamp holds their
# digest, so a change to any of them builds everything again.
digests=$(sha256sum "$TOP/scripts/build_codecs.sh" "$OPUSFILE_CMAKE" "$TOOLCHAIN") \
  || fail "could not read the build's own files"
RECIPE=$(echo "$digests" | cut -d' ' -f1 | sha256sum | cut -d' ' -f1)

stamp_of() { echo "$STAMPS/$1_${VERSION[$1]}"; }
is_current() { [ -f "$(stamp_of "$1")" ] && [ "$(cat "$(stamp_of "$1")")" = "$RECIPE" ]; }

# Dependencies first.
ORDER=(libogg libvorbis opus opusfile flac)

pending=()
for name in "${ORDER[@]}"; do
  is_current "$name" || pending+=("$name")
done
[ ${#pending[@]} = 0 ] && exit 0

# A change to the build builds them all, into a prefix of their own
# alone; otherwise (a build cut short) those missing are added.
if [ ${#pending[@]} = ${#ORDER[@]} ]; then
  rm -rf "$PREFIX" || fail "could not empty $PREFIX"
fi
mkdir -p "$LOGS" "$STAMPS" || fail "could not make $CODECS"
echo "$SCRIPT_NAME: building the decoder libraries (${pending[*]}), once for these versions; logs: $LOGS" >&2

# A private apt configuration that knows only bookworm's source packages,
# so the machine's own apt setup is neither needed nor changed.
APT_DIR="$CODECS/apt"
apt_ready=0
apt_private() {
  [ "$apt_ready" = 1 ] && return 0
  mkdir -p "$APT_DIR/lists/partial" "$APT_DIR/cache/archives/partial" "$APT_DIR/etc" \
    || fail "could not make $APT_DIR"
  echo "deb-src [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg] http://deb.debian.org/debian bookworm main" \
    >"$APT_DIR/etc/sources.list"
  cat >"$APT_DIR/apt.conf" <<APT
Dir::Etc::SourceList "$APT_DIR/etc/sources.list";
Dir::Etc::SourceParts "/nonexistent";
Dir::Etc::Preferences "/nonexistent";
Dir::Etc::PreferencesParts "/nonexistent";
Dir::State::Lists "$APT_DIR/lists";
Dir::Cache "$APT_DIR/cache";
Dir::State::Status "/var/lib/dpkg/status";
APT
  command -v dpkg-source >/dev/null || fail "dpkg-source is missing (package dpkg-dev; scripts/setup.sh installs it)"
  [ -f /usr/share/keyrings/debian-archive-keyring.gpg ] \
    || fail "Debian's archive keyring is missing (package debian-archive-keyring; scripts/setup.sh installs it)"
  echo "$SCRIPT_NAME: reading bookworm's list of source packages" >&2
  APT_CONFIG="$APT_DIR/apt.conf" apt-get update -q >"$LOGS/apt-update.log" 2>&1 \
    || fail "could not read bookworm's source package lists (see $LOGS/apt-update.log)"
  apt_ready=1
}

# fetch NAME: unpacks the source package into build/codecs/src (kept, so a
# rebuild of the same version fetches nothing) and sets SOURCE to its folder.
fetch() {
  local name=$1 version=${VERSION[$1]}
  local dir="$CODECS/src/${name}_$version" log="$LOGS/$name-fetch.log"
  # apt-get source unpacks into <package>-<upstream version>.
  SOURCE="$dir/$name-${version%-*}"
  [ -f "$dir/unpacked" ] && [ -d "$SOURCE" ] && return 0
  apt_private
  rm -rf "$dir" && mkdir -p "$dir" || fail "could not make $dir"
  echo "$SCRIPT_NAME: fetching and unpacking the source of $name $version" >&2
  if ! (cd "$dir" && APT_CONFIG="$APT_DIR/apt.conf" apt-get source -q "$name=$version") >"$log" 2>&1; then
    grep -q "Can not find version" "$log" \
      && fail "bookworm no longer has $name $version: set its new version in scripts/build_codecs.sh"
    fail "could not fetch the source of $name $version (see $log)"
  fi
  [ -d "$SOURCE" ] || fail "the source of $name $version did not unpack into $SOURCE (see $log)"
  touch "$dir/unpacked"
}

# cmake_build NAME SOURCE-FOLDER [CMAKE ARGUMENTS...]: configures in a fresh
# build folder, builds the library targets named by TARGETS (all when
# empty), installs into the prefix and writes the stamp.
TARGETS=()
cmake_build() {
  local name=$1 source=$2 log="$LOGS/$1.log" dir="$CODECS/build/$1"
  shift 2
  rm -rf "$dir"
  echo "$SCRIPT_NAME: building $name ${VERSION[$name]}" >&2
  local target_args=()
  [ ${#TARGETS[@]} -gt 0 ] && target_args=(--target "${TARGETS[@]}")
  {
    cmake -S "$source" -B "$dir" "${COMMON_ARGS[@]}" "$@" \
      && cmake --build "$dir" -j "$(nproc)" "${target_args[@]}" \
      && cmake --install "$dir"
  } >"$log" 2>&1 \
    || { tail -n 15 "$log" >&2; fail "building $name ${VERSION[$name]} failed (see $log)"; }
  echo "$RECIPE" >"$(stamp_of "$name")"
}

for name in "${pending[@]}"; do
  rm -f "$STAMPS/${name}"_*
  fetch "$name"
  TARGETS=()
  case "$name" in
    libogg)    cmake_build libogg "$SOURCE" "${OGG_ARGS[@]}" ;;
    libvorbis) cmake_build libvorbis "$SOURCE" "${VORBIS_ARGS[@]}" ;;
    # Opus 1.3.1's release lacks opus_buildtype.cmake, which its CMake
    # includes only to choose a build type when none is given; one always is.
    opus)      [ -f "$SOURCE/opus_buildtype.cmake" ] \
                 || echo "# The build type is given on the command line." >"$SOURCE/opus_buildtype.cmake"
               cmake_build opus "$SOURCE" "${OPUS_ARGS[@]}" ;;
    opusfile)  cmake_build opusfile "$(dirname "$OPUSFILE_CMAKE")" -DOPUSFILE_SOURCE_DIR="$SOURCE" ;;
    # FLAC's CMake always builds a benchmark program: only the library is
    # wanted. It installs libFLAC++'s headers even without libFLAC++.
    flac)      TARGETS=(FLAC)
               cmake_build flac "$SOURCE" "${FLAC_ARGS[@]}"
               rm -rf "$PREFIX/include/FLAC++" ;;
  esac
  # Their licences ask that every copy carries their notices: the
  # download's Licenses.txt is made from these.
  licence="$SOURCE/COPYING"; [ "$name" = flac ] && licence="$SOURCE/COPYING.Xiph"
  mkdir -p "$PREFIX/licenses" && cp "$licence" "$PREFIX/licenses/$name.txt" \
    || fail "could not keep the licence of $name ($licence)"
done
echo "$SCRIPT_NAME: the decoder libraries are in $PREFIX" >&2
