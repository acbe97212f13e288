#!/usr/bin/env python3
"""Runs the KWin backend's tests in a private headless KWin (scripts/kwin_session.py) with two
monitors side by side and Xwayland, as the session's ordinary user, as Sizewise would run; judged by GoogleTest's
XML report, where a case skipped with a reason counts as neither passed nor failed.
With --scale S the monitors have that scale factor (frames stay in logical pixels).
Usage: run_in_kwin.py [--scale S] PROGRAM BUILD_FOLDER [GTEST_ARGS...]"""

import os
import shutil
import subprocess
import sys
import time
import xml.etree.ElementTree as ET

sys.path.insert(0, os.path.join(os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__)))), "scripts"))
from kwin_session import KwinSession  # noqa: E402

WIDTH, HEIGHT, OUTPUTS = 1280, 800, 2
NEEDED = ["/usr/bin/kwin_wayland", "/usr/bin/weston-terminal", "/usr/bin/python3"]


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


def main():
    args = sys.argv[1:]
    scale = 1
    if args[:1] == ["--scale"] and len(args) > 1:
        scale, args = float(args[1]), args[2:]
    if len(args) < 2:
        sys.exit(__doc__)
    program, build, *gtest_args = args
    missing = [path for path in NEEDED if not os.path.exists(path)]
    if missing or os.geteuid() != 0:
        print(f"KWin backend: cannot run here ({'not root' if not missing else 'missing ' + ', '.join(missing)})")
        return 1
    report = os.path.join(os.path.abspath(build), "kwin_tests.xml" if scale == 1 else f"kwin_tests_{scale:g}.xml")
    if os.path.exists(report):
        os.remove(report)
    started = time.monotonic()
    with KwinSession(WIDTH, HEIGHT, outputs=OUTPUTS, scale=scale, xwayland=True) as session:
        # KWin's virtual outputs sit side by side, the first at the origin.
        session.env["SIZEWISE_TEST_MONITORS"] = ";".join(
            f"{i * WIDTH},0,{(i + 1) * WIDTH},{HEIGHT}" for i in range(OUTPUTS))
        # The tests run as the session's user: KWin reads the scripts they write, and offers its
        # fake pointer only to programs of its own user. Their report is written where that user may.
        inside = session.write_file("kwin_tests.xml", "")
        os.remove(inside)
        status = subprocess.run(session.as_user([program, "--gtest_output=xml:" + inside] + gtest_args),
                                timeout=540).returncode
        if os.path.exists(inside):
            shutil.copyfile(inside, report)
        session_seconds = session.startup_seconds
    passed, summary = judge(report)
    print(f"KWin backend in a headless KWin at scale {scale:g} (up in {session_seconds:.2f} s, "
          f"{time.monotonic() - started:.1f} s in all, exit status {status}): {summary}")
    return 0 if passed else 1


if __name__ == "__main__":
    sys.exit(main())
