#!/bin/bash
# Builds Qt 6 for 64-bit Windows (mingw-w64) from Debian's own qt6-base source package, once, into
# a cache outside the tree, and prints the prefix it is installed in. Debian's Qt 6 of the same
# version serves as the host tools. The cache is keyed by the Qt version, the configure options and
# the compiler; one builder at a time holds a key's lock, and the result is moved into place only
# when installed, so two builders never share a half-built cache. The build tree (about 2 GB) is
# removed after installing; the prefix takes about 100 MB. A build that failed or was stopped goes
# on from its tree at the next run.
#
#   scripts/build-qt-windows.sh            # prints e.g. ~/.cache/sizewise/qt-6.4.2-mingw-1a2b3c4d
#   SIZEWISE_CACHE=/somewhere scripts/build-qt-windows.sh
set -euo pipefail

QT_PACKAGE_VERSION=6.4.2+dfsg-10
CACHE=${SIZEWISE_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/sizewise}
# Shared: the program ships Qt's DLLs beside it, so that a user can replace them (the LGPL).
# Without Direct2D, Gui has no DirectWrite font database, which the windows platform plugin links
# to unless DirectWrite 3 is off too (Qt 6.4 uses the GDI one by default all the same).
OPTIONS=(-release -shared -qt-host-path /usr -xplatform win32-g++ -nomake tests -nomake examples
  -no-opengl -no-dbus -no-icu -no-ssl -qt-zlib -qt-pcre -qt-libpng -qt-freetype -qt-harfbuzz
  -no-libjpeg -no-feature-sql -no-feature-printsupport -no-feature-tabletevent -no-feature-directwrite3
  -no-feature-direct2d -no-feature-concurrent -no-feature-xml -no-feature-testlib -no-feature-gif
  -no-feature-tuiotouch)
COMPILER=$(x86_64-w64-mingw32-g++-posix -dumpfullversion)
KEY=$(printf '%s\n' "$QT_PACKAGE_VERSION" "${OPTIONS[*]}" "$COMPILER" | sha256sum | cut -c1-8)
PREFIX=$CACHE/qt-${QT_PACKAGE_VERSION%%+*}-mingw-$KEY

if [[ -f $PREFIX/.complete ]]; then
  echo "$PREFIX"
  exit 0
fi

say() { echo "build-qt-windows: $*" >&2; }

# Debian's source package, from the same archive as the installed packages.
if ! apt-get source --print-uris "qt6-base=$QT_PACKAGE_VERSION" >/dev/null 2>&1; then
  say "adding the deb-src entries of the installed archive"
  sed -e 's/^Types: deb$/Types: deb-src/' /etc/apt/sources.list.d/debian.sources \
    >/etc/apt/sources.list.d/debian-src.sources
  apt-get update -qq
fi

mkdir -p "$CACHE"
# One builder at a time for a key: a second waits for the first and then finds its result. A build
# that failed or was stopped leaves its tree, and the next run goes on from it.
exec 9>"$PREFIX.lock"
flock 9
if [[ -f $PREFIX/.complete ]]; then
  echo "$PREFIX"
  exit 0
fi
WORK=$PREFIX.build
mkdir -p "$WORK"
cd "$WORK"
if [[ ! -d source ]]; then
  say "fetching qt6-base $QT_PACKAGE_VERSION"
  apt-get source -qq --download-only "qt6-base=$QT_PACKAGE_VERSION" >/dev/null
  dpkg-source -x qt6-base_*.dsc source.partial >/dev/null
  mv source.partial source
fi

# The toolchain stays in the cache: Qt's installed qt.toolchain.cmake names it by path.
TOOLCHAIN=$CACHE/mingw-qt.cmake
cat >"$WORK/mingw-qt.cmake" <<'EOF'
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)
EOF
mv "$WORK/mingw-qt.cmake" "$TOOLCHAIN"

# Configured for the final place, built and installed in the work folder, then moved.
mkdir -p build && cd build
if [[ ! -f build.ninja ]]; then
  say "configuring (a minute)"
  ../source/configure -prefix "$PREFIX" "${OPTIONS[@]}" -- -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$TOOLCHAIN" \
    -DQT_HOST_PATH_CMAKE_DIR=/usr/lib/x86_64-linux-gnu/cmake >configure.log 2>&1 ||
    { tail -30 configure.log >&2; rm -f build.ninja; exit 1; }
fi
say "building (15-35 minutes on two cores; progress below)"
# Every fiftieth step is shown; the compilers' warnings go to the log alone.
: >ninja.log
ninja -j"$(nproc)" >ninja.log 2>&1 </dev/null &
build=$!
tail -n +1 -f --pid=$build ninja.log |
  awk '/^\[[0-9]+\/[0-9]+\]/ && ++n % 50 == 0 { print "build-qt-windows: " $1; fflush() }' >&2
if ! wait $build; then
  grep -A25 '^FAILED:' ninja.log | head -60 >&2
  say "the build failed; its tree is kept in $WORK and the next run goes on from it"
  exit 1
fi
rm -rf "$WORK/install"
DESTDIR=$WORK/install ninja install >/dev/null
# DESTDIR keeps the full prefix path below it; moved into place whole.
rm -rf "$PREFIX"
mv -T "$WORK/install$PREFIX" "$PREFIX"
touch "$PREFIX/.complete"
cd "$CACHE"
rm -rf "$WORK"
say "installed in $PREFIX"
echo "$PREFIX"
