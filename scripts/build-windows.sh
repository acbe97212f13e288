#!/bin/bash
# Builds Sizewise for 64-bit Windows on Debian: Qt for mingw-w64 from Debian's source, once, into
# the cache (scripts/build-qt-windows.sh), then the program against it in build-windows/, then in
# build-windows/dist/ a portable folder and zip (the program, Qt's DLLs and plugins, the compiler's
# runtime DLLs and the help pages, side by side) and an installer.
#
#   scripts/build-windows.sh
set -euo pipefail

cd "$(dirname "${BASH_SOURCE[0]}")/.."
QT=$(scripts/build-qt-windows.sh)
BUILD=build-windows
cmake -S . -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_TOOLCHAIN_FILE="$QT/lib/cmake/Qt6/qt.toolchain.cmake" \
  -DSIZEWISE_BACKEND=win32 -DSIZEWISE_QT=ON -DSIZEWISE_TESTS=OFF >/dev/null
cmake --build "$BUILD" -j"$(nproc)"

VERSION=$(sed -n 's/^project(Sizewise VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
DIST=$BUILD/dist/Sizewise-$VERSION
rm -rf "$BUILD/dist"
mkdir -p "$DIST/platforms" "$DIST/styles"
cp "$BUILD/sizewise.exe" "$DIST/"
cp -r "$BUILD/help" "$DIST/help"
for lib in Core Gui Widgets Network; do cp "$QT/bin/Qt6$lib.dll" "$DIST/"; done
cp "$QT/plugins/platforms/qwindows.dll" "$DIST/platforms/"
cp "$QT/plugins/styles/"*.dll "$DIST/styles/" 2>/dev/null || true
# The compiler's runtime, which the DLLs above link to.
for dll in libstdc++-6.dll libgcc_s_seh-1.dll; do
  cp "$(x86_64-w64-mingw32-g++-posix -print-file-name="$dll")" "$DIST/"
done
cp /usr/x86_64-w64-mingw32/lib/libwinpthread-1.dll "$DIST/"
# Without their symbols: a fifth of the size.
find "$DIST" -name '*.dll' -o -name '*.exe' | xargs x86_64-w64-mingw32-strip --strip-unneeded
(cd "$BUILD/dist" && rm -f "Sizewise-$VERSION.zip" &&
  python3 -m zipfile -c "Sizewise-$VERSION.zip" "Sizewise-$VERSION")
echo "build-windows: $DIST and $BUILD/dist/Sizewise-$VERSION.zip"

# The installer (Debian's nsis).
makensis -V2 -DVERSION="$VERSION" -DDIST="$(realpath "$DIST")" \
  -DOUTFILE="$(realpath "$BUILD/dist")/Sizewise-$VERSION-setup.exe" packaging/windows/sizewise.nsi
echo "build-windows: $BUILD/dist/Sizewise-$VERSION-setup.exe"
