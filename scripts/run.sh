#!/usr/bin/env bash
# Builds Sizewise and runs it; without a display it runs on a private virtual desktop with a sample
# window, saves a screenshot and shuts everything down again.
set -euo pipefail

cd "$(dirname "${BASH_SOURCE[0]}")/.."
bash scripts/setup.sh sizewise sizewise_testclient

if [[ -n ${DISPLAY:-} ]]; then
  exec build/sizewise "$@"
fi

# The end-to-end tests' private desktop: Xvfb, openbox and tint2, with a sample window.
exec python3 tests/e2e/run_desktop.py --screenshot out/sizewise-screenshot.png
