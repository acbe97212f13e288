#!/usr/bin/env python3
"""Runs the cross-built Windows tests under Wine on a private desktop (openbox), in a prefix copied
from one prepared per build tree, judged by GoogleTest's XML report, not Wine's exit status.
Usage: run_under_wine.py PROGRAM BUILD_FOLDER [GTEST_ARGS...]"""
import fcntl
import os
import re
import shutil
import subprocess
import sys
import xml.etree.ElementTree as ET

sys.path.insert(0, os.path.join(os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__)))), "scripts"))
from desktop import Desktop  # noqa: E402

DPI = 120  # not Wine's 96, so that a DPI left at its default would show
QUIET = {"WINEARCH": "win64", "WINEDEBUG": "-all", "WINEDLLOVERRIDES": "mscoree,mshtml="}


def wine(args, prefix, env, **kwargs):
    return subprocess.run(args, env=dict(env, WINEPREFIX=prefix, **QUIET), **kwargs)


def prepare_template(template):
    """Boots a prefix at our DPI once per build tree; each run copies it."""
    with open(template + ".lock", "w") as lock:
        fcntl.flock(lock, fcntl.LOCK_EX)
        if not os.path.exists(os.path.join(template, "prepared")):
            shutil.rmtree(template, ignore_errors=True)
            env = {k: v for k, v in os.environ.items() if k != "DISPLAY"}  # booted without a display
            for command in (["wineboot", "-i"], ["wine", "reg", "add", r"HKCU\Control Panel\Desktop", "/v",
                            "LogPixels", "/t", "REG_DWORD", "/d", str(DPI), "/f"], ["wineserver", "-w"]):
                wine(command, template, env, check=True, timeout=300, stdout=subprocess.DEVNULL)
            open(os.path.join(template, "prepared"), "w").close()


def judge(report):
    """Whether every test ran and passed, and a summary, from a GoogleTest XML report."""
    if not os.path.exists(report):
        return False, "no report was written"
    cases = ET.parse(report).getroot().findall(".//testcase")
    failed = [c.get("classname") + "." + c.get("name") for c in cases if c.find("failure") is not None]
    ran = [c for c in cases if c.get("status") == "run" and c.get("result", "completed") == "completed"]
    summary = f"{len(ran) - len(failed)} of {len(cases)} tests passed"
    summary += f"; failed: {', '.join(failed)}" if failed else ""
    return bool(ran) and len(ran) == len(cases) and not failed, summary


def monitors(desktop):
    """The X server's monitors, the primary first, where Wine puts them: with the primary one's
    top-left corner at the origin, as Windows has it. "left,top,right,bottom;..." """
    found = []
    for line in desktop.run(["xrandr", "--listmonitors"]).splitlines()[1:]:
        m = re.match(r"\s*\d+:\s+\+?(\*?)\S+\s+(\d+)/\d+x(\d+)/\d+\+(-?\d+)\+(-?\d+)", line)
        if m:
            primary, w, h, x, y = m.group(1), *map(int, m.groups()[1:])
            found.insert(0 if primary else len(found), (x, y, w, h))
    ox, oy = found[0][0], found[0][1]
    return ";".join(f"{x - ox},{y - oy},{x - ox + w},{y - oy + h}" for x, y, w, h in found)


def main():
    two_monitors = "--two-monitors" in sys.argv
    program, build, *gtest_args = [a for a in sys.argv[1:] if a != "--two-monitors"]
    build = os.path.abspath(build)  # Wine takes only an absolute prefix
    template = os.path.join(build, "wineprefix-template")
    report = os.path.join(build, "win32_monitors.xml" if two_monitors else "win32_tests.xml")
    prepare_template(template)
    if os.path.exists(report):
        os.remove(report)
    with Desktop("openbox", tray=False, two_monitors=two_monitors) as desktop:
        prefix = os.path.join(desktop.dir, "wineprefix")  # removed with the desktop
        shutil.copytree(template, prefix, symlinks=True)
        env = dict(desktop.env, SIZEWISE_TEST_MONITORS=monitors(desktop), SIZEWISE_TEST_DPI=str(DPI))
        try:
            status = wine(["wine", program, "--gtest_output=xml:Z:" + report.replace("/", "\\")]
                          + gtest_args, prefix, env, timeout=240).returncode
        finally:
            wine(["wineserver", "-k"], prefix, env, timeout=60)
    passed, summary = judge(report)
    print(f"win32 backend under Wine: {summary} (Wine's exit status {status})")
    return 0 if passed else 1


if __name__ == "__main__":
    sys.exit(main())
