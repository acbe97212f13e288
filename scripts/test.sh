#!/usr/bin/env bash
# Installs what is missing, builds Sizewise once with AddressSanitizer and UndefinedBehaviorSanitizer
# and runs every test against that build (unit, widget, X11, end to end, the KWin and GNOME backends
# and Sizewise itself in a headless KWin and GNOME Shell, and the install rules, two at a time, each
# X test on a private desktop of its own),
# runs each fuzz target for a few seconds, then cross-builds the Windows backend with mingw-w64 and
# runs the backend contract under Wine, builds the whole Windows program and its installer and
# tries the installed program under Wine; exits non-zero if anything failed.
set -euo pipefail

cd "$(dirname "${BASH_SOURCE[0]}")/.."
bash scripts/setup.sh --packages

failed=0
cmake -S . -B build-test -DCMAKE_BUILD_TYPE=Debug -DSIZEWISE_SANITIZE=ON -DSIZEWISE_KWIN_TESTS=ON \
  -DSIZEWISE_GNOME_TESTS=ON
cmake --build build-test -j2
# Leaks are not looked for here: Qt keeps some of its objects until the process ends.
if ! ASAN_OPTIONS=detect_leaks=0 ctest --test-dir build-test -j2 --output-on-failure --no-tests=error; then
  echo "test: the tests in build-test/ failed" >&2
  failed=1
fi

# The fuzz targets are built alone with clang and libFuzzer; each runs a few seconds from its corpus.
CC=clang CXX=clang++ cmake -S . -B build-fuzz -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSIZEWISE_FUZZ=ON
cmake --build build-fuzz -j2
if ! ctest --test-dir build-fuzz -L fuzz --output-on-failure --no-tests=error; then
  echo "test: a fuzz target in build-fuzz/ failed" >&2
  failed=1
fi

# The Windows backend needs no Qt: it is built alone, with GoogleTest from Debian's sources.
cmake -S . -B build-mingw -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_TOOLCHAIN_FILE=cmake/toolchain-mingw64.cmake \
  -DSIZEWISE_BACKEND=win32 -DSIZEWISE_QT=OFF -DSIZEWISE_GTEST_SOURCE=/usr/src/googletest
cmake --build build-mingw -j2
if ! ctest --test-dir build-mingw -L win32 --output-on-failure --no-tests=error; then
  echo "test: the Windows backend's tests under Wine in build-mingw/ failed" >&2
  failed=1
fi

# The whole program for Windows: Qt for mingw-w64 comes from the cache, which the first run on a
# machine builds (10 to 35 minutes on two cores); then the program, its zip and installer, and the installed
# program under Wine.
if ! bash scripts/build-windows.sh; then
  echo "test: building the Windows program in build-windows/ failed" >&2
  failed=1
elif ! /usr/bin/python3 tests/win32/installed_program.py build-windows/dist/Sizewise-*-setup.exe build-windows; then
  echo "test: the installed Windows program under Wine failed" >&2
  failed=1
fi

if ((failed)); then
  exit 1
fi
echo "test: all tests passed"
