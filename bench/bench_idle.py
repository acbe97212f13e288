"""Measures what Sizewise costs at idle: X traffic per poll, CPU time and peak memory."""

import argparse
import os
import random
import re
import signal
import subprocess
import sys
import time

sys.path.insert(0, os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(__file__))), "tests", "e2e"))
import harness  # noqa: E402

POLL_SECONDS = 0.1  # the display refreshes ten times a second
SETTLE_SECONDS = 3.0  # start-up traffic and the first polls after activation are not idle
# Requests closer together than this belong to one poll; polls are 100 ms apart.
CLUSTER_GAP = 0.04

LINE = re.compile(r"^(\d+\.\d+) (\d+):([<>]):([0-9a-f]+):(.*)$")
# With -w xtrace logs each read from a client socket: one line per write the client made.
RECEIVED = re.compile(r"^(\d+):<:received \d+ bytes")


def free_display_number() -> int:
    for number in random.sample(range(1000, 2000), 100):
        if not harness._display_in_use(number):
            return number
    raise RuntimeError("no free display number for the xtrace proxy")


def start_target(desktop: harness.Desktop) -> int:
    if os.access(harness.TESTCLIENT, os.X_OK):
        return desktop.start_testclient("Still target", "640x400+200+150")
    print(f"note: {harness.TESTCLIENT} missing, xterm is the target", file=sys.stderr)
    return desktop.start_xterm("Still target")


def parse_trace(path: str, start: float, end: float) -> dict:
    """Counts requests, answered writes and poll clusters between start and end (monotonic s)."""
    requests = answers = bursts = round_trips = clusters = 0
    # Per connection: a client write seen whose first request is still to come, and whether the
    # write being followed has been answered (None when it lies outside the window).
    new_write = {}
    answered = {}
    last_request_time = None
    with open(path, "r", errors="replace") as trace:
        for line in trace:
            received = RECEIVED.match(line)
            if received:
                new_write[received.group(1)] = True
                continue
            match = LINE.match(line)
            if not match:
                continue
            stamp = float(match.group(1))
            inside = start <= stamp <= end
            conn, direction, rest = match.group(2), match.group(3), match.group(5)
            if direction == "<":
                if new_write.pop(conn, False):
                    answered[conn] = False if inside else None
                    bursts += inside
                if not inside:
                    continue
                requests += 1
                if last_request_time is None or stamp - last_request_time > CLUSTER_GAP:
                    clusters += 1
                last_request_time = stamp
            elif inside and ("Reply to" in rest or rest.startswith("Error")):
                answers += 1
                if answered.get(conn) is False:
                    answered[conn] = True
                    round_trips += 1
    return {"requests": requests, "answers": answers, "bursts": bursts,
            "round_trips": round_trips, "clusters": clusters}


def start_traced(desktop: harness.Desktop) -> tuple:
    """Starts Sizewise behind an xtrace proxy display; returns its main window, the trace's path
    and the proxy's display number, whose socket the caller removes after desktop.stop()."""
    fake = free_display_number()
    trace_path = os.path.join(desktop.dir, "xtrace.txt")
    # The -w lines go to standard output only, so the trace is that rather than an -o file.
    with open(trace_path, "wb") as trace:
        desktop._spawn(["xtrace", "-n", "-k", "-w", "--monotonic-timestamps",
                        "-d", desktop.display, "-D", f":{fake}"], "xtrace", stdout=trace)
    harness.wait_until(lambda: os.path.exists(f"/tmp/.X11-unix/X{fake}"), timeout=10,
                       what="the xtrace proxy to listen")
    # Everything but Sizewise talks to the server directly, so the trace holds only its traffic.
    # xtrace cannot pass file descriptors, which Qt's shared-memory images need.
    desktop.start_sizewise(env={"DISPLAY": f":{fake}", "QT_XCB_NO_MITSHM": "1"}, shown=False)
    main = harness.wait_until(desktop._find_main_window, timeout=30, what="the Sizewise main window")
    return main, trace_path, fake


def remove_proxy_socket(fake) -> None:
    # xtrace leaves its listening socket behind; it was not there before the run.
    if fake is not None and os.path.exists(f"/tmp/.X11-unix/X{fake}"):
        os.unlink(f"/tmp/.X11-unix/X{fake}")


def traced_run(seconds: float, keep: str) -> dict:
    desktop = harness.Desktop()
    fake = None
    try:
        desktop.start()
        target = start_target(desktop)
        main, trace_path, fake = start_traced(desktop)
        desktop.activate(target)
        time.sleep(SETTLE_SECONDS)
        start = time.monotonic()
        time.sleep(seconds)
        end = time.monotonic()
        figures = parse_trace(trace_path, start, end)
        figures["alive"] = desktop.sizewise.poll() is None
        figures["height"] = desktop.client_rect(main).h
        if keep:
            subprocess.run(["cp", trace_path, keep], check=True)
        return figures
    finally:
        desktop.stop()
        remove_proxy_socket(fake)


def cpu_ticks(pid: int) -> int:
    with open(f"/proc/{pid}/stat") as f:
        # The command name may hold spaces; the fields after its closing parenthesis do not.
        fields = f.read().rsplit(")", 1)[1].split()
    return int(fields[11]) + int(fields[12])  # utime, stime


def cpu_nanoseconds(pid: int) -> int:
    """On-CPU time of all threads, from the scheduler's nanosecond accounting."""
    total = 0
    for task in os.listdir(f"/proc/{pid}/task"):
        try:
            with open(f"/proc/{pid}/task/{task}/schedstat") as f:
                total += int(f.read().split()[0])
        except (OSError, ValueError, IndexError):
            continue  # a thread that ended meanwhile
    return total


def status_kb(pid: int, field: str) -> int:
    with open(f"/proc/{pid}/status") as f:
        for line in f:
            if line.startswith(field + ":"):
                return int(line.split()[1])
    return -1


def plain_run(seconds: float) -> dict:
    desktop = harness.Desktop()
    try:
        desktop.start()
        target = start_target(desktop)
        main = desktop.start_sizewise()
        pid = desktop.sizewise.pid
        desktop.activate(target)
        time.sleep(SETTLE_SECONDS)
        ticks0, ns0, t0 = cpu_ticks(pid), cpu_nanoseconds(pid), time.monotonic()
        time.sleep(seconds)
        ticks1, ns1, t1 = cpu_ticks(pid), cpu_nanoseconds(pid), time.monotonic()
        figures = {
            "wall": t1 - t0,
            "cpu_stat": (ticks1 - ticks0) / os.sysconf("SC_CLK_TCK"),
            "cpu_sched": (ns1 - ns0) / 1e9,
            "hwm_kb": status_kb(pid, "VmHWM"),
            "rss_kb": status_kb(pid, "VmRSS"),
            "threads": len(os.listdir(f"/proc/{pid}/task")),
            "height": desktop.client_rect(main).h,
        }
        desktop.sizewise.send_signal(signal.SIGTERM)
        try:
            figures["exit"] = desktop.sizewise.wait(timeout=10)
        except subprocess.TimeoutExpired:
            figures["exit"] = "still running 10 s after SIGTERM"
        return figures
    finally:
        desktop.stop()


def shown(height: int) -> str:
    return {harness.MAIN_HEIGHT_LAYOUT: "layout view shown",
            harness.MAIN_HEIGHT_FOLDED: "layout view folded"}.get(height, "unexpected height")


def main() -> int:
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--seconds", type=float, default=30.0, help="length of each measuring window")
    parser.add_argument("--keep-trace", default="", help="copy the xtrace output to this file")
    args = parser.parse_args()
    if not os.access(harness.SIZEWISE, os.X_OK):
        print(f"sizewise not built: {harness.SIZEWISE}", file=sys.stderr)
        return 2

    seconds = args.seconds
    polls = seconds / POLL_SECONDS
    print(f"Sizewise at idle: {harness.SIZEWISE}")
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
    print(f"  main window:               {harness.MAIN_WIDTH} x {traced['height']} client pixels "
          f"({shown(traced['height'])})")
    print(f"  requests in window:        {traced['requests']}")
    print(f"  replies and errors:        {traced['answers']}")
    print(f"  client writes (bursts):    {traced['bursts']}")
    print(f"  bursts answered:           {traced['round_trips']}")
    print(f"  request clusters seen:     {traced['clusters']} "
          f"(requests less than {CLUSTER_GAP * 1000:.0f} ms apart grouped; nominal polls "
          f"{polls:.0f})")
    print(f"  X requests per poll:       {traced['requests'] / polls:.2f}")
    print(f"  round trips per poll:      {traced['round_trips'] / polls:.2f}   (goal: 1)")
    if not traced["alive"]:
        print("  note: sizewise was not running at the end of the traced window")
    print()

    plain = plain_run(seconds)
    share = plain["cpu_stat"] / plain["wall"] * 100
    print("CPU and memory (run 2, no proxy; /proc/PID/stat utime+stime over the window):")
    print(f"  main window:               {harness.MAIN_WIDTH} x {plain['height']} client pixels "
          f"({shown(plain['height'])})")
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
