#!/usr/bin/env bash
# Builds Sizewise and runs every test, then the unit and widget tests again under AddressSanitizer
# and UndefinedBehaviorSanitizer, then cross-builds the Windows backend with mingw-w64 and runs its
# tests under Wine; exits non-zero if anything failed.
set -euo pipefail

cd "$(dirname "${BASH_SOURCE[0]}")/.."
bash scripts/setup.sh

failed=0

# Keep going after a failure so one run reports every broken test, not just the first.
if ! ctest --test-dir build --output-on-failure --no-tests=error; then
  echo "test: the tests in build/ failed" >&2
  failed=1
fi

cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DSIZEWISE_SANITIZE=ON
cmake --build build-asan -j2
if ! ctest --test-dir build-asan -L 'unit|widget' --output-on-failure --no-tests=error; then
  echo "test: the sanitizer tests in build-asan/ failed" >&2
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

if ((failed)); then
  exit 1
fi
echo "test: all tests passed"
