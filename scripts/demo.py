"""Sizewise on a private virtual desktop (Xvfb, openbox and a notification area) with a sample
window as its target: saves a screenshot and shuts everything down again."""

import os
import subprocess
import sys
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
import desktop  # noqa: E402


def main(screenshot):
    with desktop.Desktop("openbox", tray=True) as d:
        d.sample_window("Sample window", "480x300+330+220")
        d.spawn([os.path.join(ROOT, "build", "sizewise"), "--no-splash"], "sizewise")
        desktop.wait_until(lambda: subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^Sizewise$"],
                                                  env=d.env, capture_output=True).returncode == 0, 15, "Sizewise")
        time.sleep(1)  # a few readings, so that the picture shows the sample window's values
        os.makedirs(os.path.dirname(os.path.abspath(screenshot)), exist_ok=True)
        d.run(["/usr/bin/import", "-window", "root", screenshot])
        print(f"Sizewise ran on {d.display}; screenshot: {screenshot}")


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, "out", "sizewise-screenshot.png"))
