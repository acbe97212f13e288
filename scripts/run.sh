#!/usr/bin/env bash
# Builds Sizewise and runs it; without a display it runs on a private virtual desktop with a sample
# window, saves a screenshot and shuts everything down again.
set -euo pipefail

cd "$(dirname "${BASH_SOURCE[0]}")/.."
bash scripts/setup.sh sizewise

if [[ -n ${DISPLAY:-} ]]; then
  exec build/sizewise "$@"
fi
exec python3 scripts/demo.py out/sizewise-screenshot.png
