#!/usr/bin/env bash
# Builds Sizewise and runs every test, then the unit and widget tests again under AddressSanitizer
# and UndefinedBehaviorSanitizer; exits non-zero if anything failed.
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

if ((failed)); then
  exit 1
fi
echo "test: all tests passed"
