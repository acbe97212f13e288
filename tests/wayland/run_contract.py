#!/usr/bin/env python3
"""Runs a Wayland backend's tests (the contract and its own) in a private headless compositor, as the
session's ordinary user, as Sizewise would run; judged by GoogleTest's XML report, where a case
skipped with a reason counts as neither passed nor failed. KWin gets two monitors side by side
(with --scale S, of that scale: frames stay in logical pixels) and Xwayland; GNOME Shell one
monitor, with Sizewise's extension and the test probe enabled.
Usage: run_contract.py kwin|gnome [--scale S] PROGRAM BUILD_FOLDER [GTEST_ARGS...]"""

import os
import shutil
import subprocess
import sys
import time
import xml.etree.ElementTree as ET

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts"))
from gnome_session import GnomeSession  # noqa: E402
from kwin_session import KwinSession  # noqa: E402

WIDTH, HEIGHT = 1280, 800
NEEDED = {"kwin": ["/usr/bin/kwin_wayland"], "gnome": ["/usr/bin/gnome-shell"]}


def judge(report):
    """Whether every case ran and none failed, and a summary naming the skipped and failed ones."""
    if not os.path.exists(report):
        return False, "no report was written"
    cases = ET.parse(report).getroot().findall(".//testcase")
    name = lambda c: c.get("classname") + "." + c.get("name")  # noqa: E731
    failed = [name(c) for c in cases if c.find("failure") is not None]
    # GoogleTest's message is "file:line" and then the reason given.
    skipped = [(name(c), (c.find("skipped").get("message") or "").strip().splitlines()[-1:]) for c in cases
               if c.find("skipped") is not None and c.find("failure") is None]
    unrun = [name(c) for c in cases if c.get("status") != "run"]
    passed = len(cases) - len(failed) - len(skipped) - len(unrun)
    lines = [f"{passed} of {len(cases)} tests passed, {len(skipped)} skipped, {len(failed)} failed"]
    lines += [f"  skipped {case}: {' '.join(why)}" for case, why in skipped]
    lines += [f"  failed {case}" for case in failed] + [f"  not run {case}" for case in unrun]
    return passed > 0 and not failed and not unrun, "\n".join(lines)


def session_for(compositor, scale):
    """The session, and its monitors as "left,top,right,bottom;..." for the tests."""
    if compositor == "gnome":
        return GnomeSession(WIDTH, HEIGHT), f"0,0,{WIDTH},{HEIGHT}"
    # KWin's virtual outputs sit side by side, the first at the origin.
    return (KwinSession(WIDTH, HEIGHT, outputs=2, scale=scale, xwayland=True),
            ";".join(f"{i * WIDTH},0,{(i + 1) * WIDTH},{HEIGHT}" for i in range(2)))


def main():
    args = sys.argv[1:]
    if len(args) < 3 or args[0] not in NEEDED:
        sys.exit(__doc__)
    compositor, args, scale = args[0], args[1:], 1
    if args[:1] == ["--scale"] and len(args) > 1:
        scale, args = float(args[1]), args[2:]
    program, build, *gtest_args = args
    missing = [path for path in NEEDED[compositor] + ["/usr/bin/python3"] if not os.path.exists(path)]
    if missing or os.geteuid() != 0:
        print(f"{compositor}: cannot run here ({'not root' if not missing else 'missing ' + ', '.join(missing)})")
        return 1
    report = os.path.join(os.path.abspath(build), f"{compositor}_tests_{scale:g}.xml")
    if os.path.exists(report):
        os.remove(report)
    started = time.monotonic()
    session, monitors = session_for(compositor, scale)
    with session:
        session.env["SIZEWISE_TEST_MONITORS"] = monitors
        # The tests run as the session's user: the compositor reads the scripts they write and
        # offers its input only to programs of its own user. Their report is written where that
        # user may.
        inside = session.write_file("tests.xml", "")
        os.remove(inside)
        status = subprocess.run(session.as_user([program, "--gtest_output=xml:" + inside] + gtest_args),
                                timeout=540).returncode
        if os.path.exists(inside):
            shutil.copyfile(inside, report)
        session_seconds = session.startup_seconds
    passed, summary = judge(report)
    print(f"{compositor} backend in a headless session at scale {scale:g} (up in {session_seconds:.2f} s, "
          f"{time.monotonic() - started:.1f} s in all, exit status {status}): {summary}")
    return 0 if passed else 1


if __name__ == "__main__":
    sys.exit(main())
