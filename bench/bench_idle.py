"""Measures what Sizewise costs at idle: X traffic per poll, CPU time and peak memory."""

import argparse
import os
import re
import shutil
import signal
import subprocess
import sys
import time

import benchdesk as bd

POLL_SECONDS = 0.1  # the display refreshes ten times a second
SETTLE_SECONDS = 3.0  # start-up traffic and the first polls after activation are not idle
TARGET = ("Still target", "640x400+200+150")


def finish(d, proc) -> tuple:
    """Ends Sizewise by SIGTERM; returns its exit status and, from the settings it saved then,
    whether the layout view was shown."""
    proc.send_signal(signal.SIGTERM)
    try:
        status = proc.wait(timeout=10)
    except subprocess.TimeoutExpired:
        status = "still running 10 s after SIGTERM"
    path = bd.settings_path(d)
    saved = re.search(r"^ShowLayout=(\w+)$", open(path).read() if os.path.exists(path) else "", re.M)
    return status, {"True": "layout view shown", "False": "layout view folded"}.get(
        saved and saved.group(1), "layout view unknown: no ShowLayout saved")


def traced_run(seconds: float, keep: str) -> dict:
    with bd.BenchDesktop() as d:
        target = bd.start_target(d, *TARGET)
        proc, main, trace_path = bd.start_traced(d)
        bd.activate(d, target)
        time.sleep(SETTLE_SECONDS)
        start = time.monotonic()
        time.sleep(seconds)
        figures = bd.parse_trace(trace_path, start, time.monotonic())
        figures["alive"] = proc.poll() is None
        figures["size"] = bd.rect(d, main)[2:]
        if keep:
            shutil.copy(trace_path, keep)
        figures["exit"], figures["shown"] = finish(d, proc)
        return figures


def cpu_ticks(pid: int) -> int:
    with open(f"/proc/{pid}/stat") as f:
        # The command name may hold spaces; the fields after its closing parenthesis do not.
        fields = f.read().rsplit(")", 1)[1].split()
    return int(fields[11]) + int(fields[12])  # utime, stime


def plain_run(seconds: float) -> dict:
    with bd.BenchDesktop() as d:
        target = bd.start_target(d, *TARGET)
        proc, main = bd.start_sizewise(d)
        pid = proc.pid
        bd.activate(d, target)
        time.sleep(SETTLE_SECONDS)
        ticks0, ns0, t0 = cpu_ticks(pid), bd.cpu_nanoseconds(pid), time.monotonic()
        time.sleep(seconds)
        ticks1, ns1, t1 = cpu_ticks(pid), bd.cpu_nanoseconds(pid), time.monotonic()
        figures = {
            "wall": t1 - t0,
            "cpu_stat": (ticks1 - ticks0) / os.sysconf("SC_CLK_TCK"),
            "cpu_sched": (ns1 - ns0) / 1e9,
            "hwm_kb": bd.status_kb(pid, "VmHWM"),
            "rss_kb": bd.status_kb(pid, "VmRSS"),
            "threads": len(os.listdir(f"/proc/{pid}/task")),
            "size": bd.rect(d, main)[2:],
        }
        figures["exit"], figures["shown"] = finish(d, proc)
        return figures


def main() -> int:
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--seconds", type=float, default=30.0, help="length of each measuring window")
    parser.add_argument("--keep-trace", default="", help="copy the xtrace output to this file")
    args = parser.parse_args()
    if not os.access(bd.SIZEWISE, os.X_OK):
        print(f"sizewise not built: {bd.SIZEWISE}", file=sys.stderr)
        return 2

    seconds = args.seconds
    polls = seconds / POLL_SECONDS
    print(f"Sizewise at idle: {bd.SIZEWISE}")
    print(f"Each run: private Xvfb 1024x768 with openbox and tint2, one still target window made "
          f"active, {SETTLE_SECONDS:.0f} s to settle, then a {seconds:.0f} s measuring window "
          f"({polls:.0f} polls of {POLL_SECONDS * 1000:.0f} ms).")
    print()

    traced = traced_run(seconds, args.keep_trace)
    print("X traffic (run 1, Sizewise connected through an xtrace proxy display, with")
    print("  QT_XCB_NO_MITSHM=1 because the proxy cannot pass the shared-memory file descriptors):")
    print("  Every request sent on Sizewise's connections inside the window is counted. A burst")
    print("  is one write of the client as the proxy reads it from the socket (xtrace -w logs")
    print("  each read); a burst that at least one reply or error follows before the client's")
    print("  next write is one round trip: the client had to wait for the server. Per-poll")
    print("  figures divide by the nominal number of polls.")
    print(f"  main window:               {traced['size'][0]} x {traced['size'][1]} client pixels "
          f"({traced['shown']})")
    print(f"  requests in window:        {traced['requests']}")
    print(f"  replies and errors:        {traced['answers']}")
    print(f"  client writes (bursts):    {traced['bursts']}")
    print(f"  bursts answered:           {traced['round_trips']}")
    print(f"  request clusters seen:     {traced['clusters']} "
          f"(requests less than {bd.CLUSTER_GAP * 1000:.0f} ms apart grouped; nominal polls "
          f"{polls:.0f})")
    print(f"  X requests per poll:       {traced['requests'] / polls:.2f}")
    print(f"  round trips per poll:      {traced['round_trips'] / polls:.2f}   (goal: 1)")
    if not traced["alive"]:
        print("  note: sizewise was not running at the end of the traced window")
    print()

    plain = plain_run(seconds)
    share = plain["cpu_stat"] / plain["wall"] * 100
    print("CPU and memory (run 2, no proxy; /proc/PID/stat utime+stime over the window):")
    print(f"  main window:               {plain['size'][0]} x {plain['size'][1]} client pixels "
          f"({plain['shown']})")
    print(f"  CPU time in window:        {plain['cpu_stat'] * 1000:.0f} ms "
          f"(clock-tick resolution {1000 / os.sysconf('SC_CLK_TCK'):.0f} ms; scheduler "
          f"accounting of all threads: {plain['cpu_sched'] * 1000:.1f} ms)")
    print(f"  CPU per poll:              {plain['cpu_stat'] * 1e6 / polls:.0f} us "
          f"(scheduler: {plain['cpu_sched'] * 1e6 / polls:.0f} us)")
    print(f"  CPU of one core:           {share:.3f} % "
          f"(scheduler: {plain['cpu_sched'] / plain['wall'] * 100:.3f} %)   (goal: under 0.5 %)")
    print(f"  peak RSS (VmHWM):          {plain['hwm_kb'] / 1024:.1f} MiB "
          f"(VmRSS at the end {plain['rss_kb'] / 1024:.1f} MiB, {plain['threads']} threads)"
          f"   (goal: under 60 MB)")
    print(f"  exit status after SIGTERM: {plain['exit']}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
