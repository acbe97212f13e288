#!/usr/bin/env python3
"""Runs the GNOME backend's tests in a private headless GNOME Shell with Sizewise's extension and the
test probe (scripts/gnome_session.py), as the session's ordinary user, as Sizewise would run;
judged by GoogleTest's XML report, where a case skipped with a reason counts as neither passed nor
failed. Usage: run_in_gnome.py PROGRAM BUILD_FOLDER [GTEST_ARGS...]"""

import os
import shutil
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(os.path.dirname(HERE), "..", "scripts"))
sys.path.insert(0, os.path.join(os.path.dirname(HERE), "kwin"))
from gnome_session import GnomeSession  # noqa: E402
from run_in_kwin import judge  # noqa: E402

WIDTH, HEIGHT = 1280, 800
NEEDED = ["/usr/bin/gnome-shell", "/usr/bin/python3"]


def main():
    args = sys.argv[1:]
    if len(args) < 2:
        sys.exit(__doc__)
    program, build, *gtest_args = args
    missing = [path for path in NEEDED if not os.path.exists(path)]
    if missing or os.geteuid() != 0:
        print(f"GNOME backend: cannot run here ({'not root' if not missing else 'missing ' + ', '.join(missing)})")
        return 1
    report = os.path.join(os.path.abspath(build), "gnome_tests.xml")
    if os.path.exists(report):
        os.remove(report)
    started = time.monotonic()
    with GnomeSession(WIDTH, HEIGHT) as session:
        session.env["SIZEWISE_TEST_MONITORS"] = f"0,0,{WIDTH},{HEIGHT}"
        # The tests run as the session's user, whose bus and Shell they talk to; their report is
        # written where that user may.
        inside = session.write_file("gnome_tests.xml", "")
        os.remove(inside)
        status = subprocess.run(session.as_user([program, "--gtest_output=xml:" + inside] + gtest_args),
                                timeout=540).returncode
        if os.path.exists(inside):
            shutil.copyfile(inside, report)
        session_seconds = session.startup_seconds
    passed, summary = judge(report)
    print(f"GNOME backend in a headless GNOME Shell (up in {session_seconds:.2f} s, "
          f"{time.monotonic() - started:.1f} s in all, exit status {status}): {summary}")
    return 0 if passed else 1


if __name__ == "__main__":
    sys.exit(main())
