"""Runs Sizewise on a private desktop (the end-to-end tests' Xvfb, openbox and tint2) with a sample
window, saves a screenshot and shuts everything down: what scripts/run.sh does without a display."""

import argparse
import os
import shutil
import signal
import subprocess
import sys
import time

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402


def main() -> int:
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--screenshot", default="out/sizewise-screenshot.png")
    parser.add_argument("--seconds", type=float, default=3.0, help="how long Sizewise runs")
    args = parser.parse_args()

    desktop = harness.Desktop()
    try:
        desktop.start()
        print(f"run: private desktop on {desktop.display}")
        if os.access(harness.TESTCLIENT, os.X_OK):
            sample = desktop.start_testclient("Sample window", "640x400+200+150")
        else:
            print(f"run: {harness.TESTCLIENT} is missing, using xterm as the sample window")
            sample = desktop.start_xterm("Sample window")
        desktop.start_sizewise()
        desktop.activate(sample)
        time.sleep(args.seconds)

        os.makedirs(os.path.dirname(os.path.abspath(args.screenshot)), exist_ok=True)
        subprocess.run(["/usr/bin/import", "-window", "root", args.screenshot], env=desktop.env,
                       check=True, timeout=20)
        print(os.path.abspath(args.screenshot))

        desktop.sizewise.send_signal(signal.SIGTERM)
        status = desktop.wait_sizewise_exit(10)
        err = desktop.sizewise_stderr()
        if err.strip():
            print("run: sizewise wrote on stderr:\n" + err, file=sys.stderr)
        if status != 0:
            print(f"run: sizewise exited with status {status} after SIGTERM", file=sys.stderr)
            return 1
        print("run: sizewise exited with status 0")
        return 0
    finally:
        desktop.stop()


if __name__ == "__main__":
    if shutil.which("Xvfb") is None:
        sys.exit("run: Xvfb is not installed; run scripts/setup.sh first")
    sys.exit(main())
