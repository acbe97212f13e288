#!/bin/sh
# Packs Sizewise's GNOME Shell extension in both flavours: OUT/sizewise-gnome43.zip (GNOME 43, 44) and OUT/sizewise-gnome45.zip (45 and later).
# Usage: build-extension.sh [OUT]   (default: the current directory)
# Either zip installs with `gnome-extensions install --force FILE`; under Wayland the Shell loads it
# at the next log-in, after `gnome-extensions enable sizewise@sizewise.github.io`.
set -eu
here=$(cd "$(dirname "$0")" && pwd)
out=$(mkdir -p "${1:-.}" && cd "${1:-.}" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

mkdir "$work/43" "$work/45"
cp "$here/extension/metadata.json" "$here/extension/extension.js" "$here/extension/service.js" \
   "$here/extension/io.github.sizewise.Shell1.xml" "$work/43/"
# GNOME 45 loads extensions as ES modules: the shared service gains an export, nothing else changes.
cp "$here/extension45/metadata.json" "$here/extension45/extension.js" \
   "$here/extension/io.github.sizewise.Shell1.xml" "$work/45/"
{ cat "$here/extension/service.js"; printf '\nexport {SizewiseService};\n'; } > "$work/45/service.js"

for flavour in 43 45; do
    rm -f "$out/sizewise-gnome$flavour.zip"
    (cd "$work/$flavour" && python3 -m zipfile -c "$out/sizewise-gnome$flavour.zip" ./*)
done
echo "$out/sizewise-gnome43.zip $out/sizewise-gnome45.zip"
