#!/usr/bin/env bash
# Builds the Debian package build/sizewise_<version>_<arch>.deb from a release build and checks it
# with lintian. Install it with: sudo apt-get install ./build/sizewise_*.deb
set -euo pipefail

cd "$(dirname "${BASH_SOURCE[0]}")/.."
bash scripts/setup.sh sizewise
cd build
rm -f sizewise_*.deb
cpack -G DEB
lintian sizewise_*.deb
