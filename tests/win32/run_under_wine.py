#!/usr/bin/env python3
"""Runs a cross-built Windows test program under Wine on a desktop of its own.

Each run gets a private Xvfb with openbox (without a window manager every window
teardown waits two seconds) and a fresh Wine prefix copied from a template that
is prepared once. The run is judged by GoogleTest's XML report, not by Wine's
exit status, which some launch modes give as 0 whatever the tests did.
"""
import argparse
import fcntl
import os
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import xml.etree.ElementTree as ET

SCREEN = "1280x1024"
# Not Wine's default of 96, so that a process that failed to become DPI aware
# would read scaled sizes and the twips would show a default left in place.
DPI = 120
QUIET = {"WINEDEBUG": "-all", "WINEDLLOVERRIDES": "mscoree,mshtml="}


def wine_env(prefix, display):
    env = dict(os.environ, WINEPREFIX=prefix, WINEARCH="win64", **QUIET)
    if display is None:
        env.pop("DISPLAY", None)
    else:
        env["DISPLAY"] = display
    return env


def prepare_template(template):
    """Boots a prefix once per build tree; runs copy it."""
    os.makedirs(os.path.dirname(template), exist_ok=True)
    with open(template + ".lock", "w") as lock:
        fcntl.flock(lock, fcntl.LOCK_EX)
        if os.path.exists(os.path.join(template, "system.reg")):
            return
        shutil.rmtree(template, ignore_errors=True)
        env = wine_env(template, None)
        subprocess.run(["wineboot", "-i"], env=env, check=True, timeout=300)
        subprocess.run(["wine", "reg", "add", r"HKCU\Control Panel\Desktop", "/v", "LogPixels",
                        "/t", "REG_DWORD", "/d", str(DPI), "/f"],
                       env=env, check=True, timeout=120, stdout=subprocess.DEVNULL)
        subprocess.run(["wineserver", "-w"], env=env, check=True, timeout=120)


def start_desktop():
    """Starts Xvfb on a free display and openbox on it; returns (display, processes)."""
    read_end, write_end = os.pipe()
    xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0", SCREEN + "x24",
                             "-nolisten", "tcp", "-noreset"], pass_fds=(write_end,),
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(write_end)
    with os.fdopen(read_end) as pipe:
        number = pipe.readline().strip()
    if not number:
        xvfb.kill()
        raise RuntimeError("Xvfb did not start")
    display = ":" + number
    env = dict(os.environ, DISPLAY=display)
    openbox = subprocess.Popen(["openbox", "--sm-disable"], env=env,
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    deadline = time.monotonic() + 10
    while time.monotonic() < deadline:
        probe = subprocess.run(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"], env=env,
                               capture_output=True, text=True)
        if "window id" in probe.stdout:
            break
        time.sleep(0.05)
    else:
        raise RuntimeError("openbox did not start")
    return display, [openbox, xvfb]


def judge(report):
    """Returns (passed, summary) from a GoogleTest XML report."""
    if not os.path.exists(report):
        return False, "no report was written"
    suites = ET.parse(report).getroot()
    cases = suites.findall(".//testcase")
    failed = [c.get("classname") + "." + c.get("name") for c in cases if c.find("failure") is not None]
    run = [c for c in cases if c.get("result", "completed") == "completed" and c.get("status") == "run"]
    passed = len(cases) > 0 and not failed and int(suites.get("errors", "0")) == 0
    summary = f"{len(run) - len(failed)} of {len(cases)} tests passed"
    if failed:
        summary += "; failed: " + ", ".join(failed)
    return passed, summary


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--program", required=True)
    parser.add_argument("--report", required=True)
    parser.add_argument("--prefix-template", required=True)
    parser.add_argument("gtest_args", nargs="*")
    args = parser.parse_args()

    prepare_template(args.prefix_template)
    if os.path.exists(args.report):
        os.remove(args.report)
    work = tempfile.mkdtemp(prefix="sizewise-wine-")
    prefix = os.path.join(work, "prefix")
    processes = []
    try:
        shutil.copytree(args.prefix_template, prefix, symlinks=True)
        display, processes = start_desktop()
        env = wine_env(prefix, display)
        env.update(SIZEWISE_TEST_SCREEN=SCREEN, SIZEWISE_TEST_DPI=str(DPI))
        report = "Z:" + os.path.abspath(args.report).replace("/", "\\")
        command = ["wine", args.program, "--gtest_output=xml:" + report] + args.gtest_args
        status = subprocess.run(command, env=env, timeout=480).returncode
        subprocess.run(["wineserver", "-k"], env=env, timeout=60)
    finally:
        for process in processes:
            process.send_signal(signal.SIGTERM)
            try:
                process.wait(timeout=5)
            except subprocess.TimeoutExpired:
                process.kill()
        shutil.rmtree(work, ignore_errors=True)
    passed, summary = judge(args.report)
    print(f"win32 tests under Wine: {summary} (exit status {status})")
    return 0 if passed else 1


if __name__ == "__main__":
    sys.exit(main())
