#!/usr/bin/env bash
# Renders the application icon's PNG sizes from data/icons/sizewise.svg; run it after changing the
# picture and commit the PNGs with it (the build does not need librsvg).
set -euo pipefail

cd "$(dirname "${BASH_SOURCE[0]}")/.."
for size in 16 22 24 32 48 64 128 256; do
  rsvg-convert --width "$size" --height "$size" --keep-aspect-ratio \
    --output "data/icons/sizewise-$size.png" data/icons/sizewise.svg
done
# The Windows program's icon: the sizes Windows asks for, in one .ico.
convert data/icons/sizewise-{16,24,32,48,64,128,256}.png data/icons/sizewise.ico
