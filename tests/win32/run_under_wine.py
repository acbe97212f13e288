#!/usr/bin/env python3
"""Runs the cross-built Windows tests under Wine on a private desktop (tests/desktop.py: Xvfb with
openbox), in a fresh Wine prefix copied from one prepared once per build tree, and judges the run by
GoogleTest's XML report: Wine's exit status is not to be trusted, some launch modes give 0 whatever
the program did.

    run_under_wine.py PROGRAM BUILD_FOLDER [GTEST_ARGS...]
"""
import fcntl
import os
import shutil
import subprocess
import sys
import xml.etree.ElementTree as ET

sys.path.insert(0, os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
from desktop import Desktop, wait_until  # noqa: E402

# Not Wine's default of 96, so that a DPI left at its default would show.
DPI = 120
QUIET = {"WINEARCH": "win64", "WINEDEBUG": "-all", "WINEDLLOVERRIDES": "mscoree,mshtml="}


class WineDesktop(Desktop):
    def _probe_framed(self):
        """desktop.py probes the window manager with the project's native X test client, which a
        cross build has not built; xlogo maps a window just as well."""
        probe = self.spawn(["xlogo", "-geometry", "10x10+0+0"], "probe")

        def framed():
            found = subprocess.run(["xdotool", "search", "--classname", "xlogo"], env=self.env,
                                   capture_output=True, text=True).stdout.split()
            return bool(found) and self.framed(int(found[0]))
        try:
            return wait_until(framed, 1, "a frame")
        except AssertionError:
            return False
        finally:
            probe.terminate()
            probe.wait()
            self.procs.remove(probe)


def wine(args, prefix, env, **kwargs):
    return subprocess.run(args, env=dict(env, WINEPREFIX=prefix, **QUIET), **kwargs)


def prepare_template(template):
    """Boots a prefix at our DPI, without a display, once per build tree; each run copies it."""
    with open(template + ".lock", "w") as lock:
        fcntl.flock(lock, fcntl.LOCK_EX)
        if os.path.exists(os.path.join(template, "system.reg")):
            return
        shutil.rmtree(template, ignore_errors=True)
        env = {k: v for k, v in os.environ.items() if k != "DISPLAY"}
        wine(["wineboot", "-i"], template, env, check=True, timeout=300)
        wine(["wine", "reg", "add", r"HKCU\Control Panel\Desktop", "/v", "LogPixels", "/t", "REG_DWORD",
              "/d", str(DPI), "/f"], template, env, check=True, timeout=120, stdout=subprocess.DEVNULL)
        wine(["wineserver", "-w"], template, env, check=True, timeout=120)


def judge(report):
    """(passed, summary) from a GoogleTest XML report."""
    if not os.path.exists(report):
        return False, "no report was written"
    suites = ET.parse(report).getroot()
    cases = suites.findall(".//testcase")
    failed = [c.get("classname") + "." + c.get("name") for c in cases if c.find("failure") is not None]
    ran = [c for c in cases if c.get("status") == "run" and c.get("result", "completed") == "completed"]
    summary = f"{len(ran) - len(failed)} of {len(cases)} tests passed, {len(cases) - len(ran)} skipped"
    if failed:
        summary += "; failed: " + ", ".join(failed)
    return bool(ran) and not failed and suites.get("errors", "0") == "0", summary


def main():
    program, build, *gtest_args = sys.argv[1:]
    template, report = os.path.join(build, "wineprefix-template"), os.path.join(build, "win32_tests.xml")
    prepare_template(template)
    if os.path.exists(report):
        os.remove(report)
    with WineDesktop("openbox", tray=False) as desktop:
        prefix = os.path.join(desktop.dir, "wineprefix")  # goes with the desktop
        shutil.copytree(template, prefix, symlinks=True)
        root = dict(line.strip().split(": ", 1) for line in desktop.run(["xwininfo", "-root"]).splitlines()
                    if line.strip().startswith(("Width:", "Height:")))
        env = dict(desktop.env, SIZEWISE_TEST_SCREEN=f"{root['Width']}x{root['Height']}",
                   SIZEWISE_TEST_DPI=str(DPI))
        try:
            status = wine(["wine", program, "--gtest_output=xml:Z:" + os.path.abspath(report).replace("/", "\\")]
                          + gtest_args, prefix, env, timeout=240).returncode
        finally:
            wine(["wineserver", "-k"], prefix, env, timeout=60)
    passed, summary = judge(report)
    print(f"win32 backend under Wine: {summary} (Wine's exit status {status})")
    return 0 if passed else 1


if __name__ == "__main__":
    sys.exit(main())
