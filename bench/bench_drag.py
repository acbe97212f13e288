"""Measures a drag in the layout view: placements per move, CPU per placement, sleeps, lag, and
where the target ends up."""

import os
import re
import subprocess
import sys
import threading
import time

import benchdesk as bd

MOVES = 200
RATE = 100  # moves per second
TARGET_GEOMETRY = "300x200+150+150"
SLEEP_CALLS = "nanosleep,clock_nanosleep"
SETTLE_SECONDS = 1.0  # after the last move, for the last placements to land

CONFIGURE = re.compile(r"\((-?\d+),(-?\d+)\), width (\d+), height (\d+)")
STRACE_LINE = re.compile(r"^(\d+) +(\d+\.\d+) (\w+)\(.*<(\d+\.\d+)>$")


def triangle(i: int, amplitude: int) -> int:
    """0, 1, ... amplitude, ... 1, 0, 1, ...: one pixel a step, so every move is a motion."""
    return amplitude - abs(amplitude - i % (2 * amplitude))


# Offsets of the pointer from where it grabbed the image; the target stays inside the work area.
PATH = [(triangle(i, 30), triangle(i, 12)) for i in range(1, MOVES + 1)]


class FrameWatch:
    """Every change of a frame's geometry, with the monotonic time it was seen, from xev."""

    def __init__(self, d: bd.BenchDesktop, frame: int):
        self.changes: list = []
        self.proc = d.spawn(["stdbuf", "-oL", "xev", "-id", str(frame), "-event", "structure"], "xev",
                            stdout=subprocess.PIPE)
        self.thread = threading.Thread(target=self._read, daemon=True)
        self.thread.start()

    def _read(self) -> None:
        for line in self.proc.stdout:
            match = CONFIGURE.search(line.decode(errors="replace"))
            if match:
                rect = bd.Rect(*map(int, match.groups()))
                if not self.changes or self.changes[-1][1] != rect:
                    self.changes.append((time.monotonic(), rect))

    def between(self, start: float, end: float) -> list:
        return [(t, r) for t, r in list(self.changes) if start <= t <= end]

    def last_before(self, moment: float):
        earlier = [r for t, r in list(self.changes) if t <= moment]
        return earlier[-1] if earlier else None


def probe() -> tuple:
    """The target's frame, where to grip its image from the main window's corner, and where one
    move of the path's whole offset puts the target: the view counts a drag from the press, so
    that is where the whole drag must end. Read over AT-SPI on a desktop of its own, so that the
    measured runs go without the accessibility bridge."""
    with bd.accessible_session() as s:
        target = s.client("Dragged target", TARGET_GEOMETRY)
        s.start()
        main = bd.wait_until(lambda: bd.managed_window(s.desktop, "Sizewise"), 10, "the main window")
        before = prepare(s.desktop, main, target)
        x, y, w, h = s.extents(s.control(role="image"))
        corner = bd.rect(s.desktop, main)
        grip = (x + w // 2 - corner.x, y + h // 2 - corner.y)
        drag(s.desktop, main, grip, PATH[-1:])
        time.sleep(SETTLE_SECONDS)
        s.xdotool("mouseup", 1)
        return before, grip, bd.frame_rect(s.desktop, target)


def prepare(d, main: int, target: int, start=None) -> bd.Rect:
    """Makes target Sizewise's target and returns its frame, which must be start when given."""
    bd.activate(d, target)
    bd.activate(d, main)
    before = bd.frame_rect(d, target)
    if start is not None and before != start:
        raise RuntimeError(f"the target starts at {before}, not at {start} as the probe had it")
    return before


def drag(d, main: int, grip: tuple, path=PATH) -> tuple:
    """Presses on the image, then makes the moves at RATE in one xdotool; returns the monotonic
    times of the first and the last move. The button stays down."""
    d.run(["xdotool", "mousemove", "--window", str(main), *map(str, grip), "mousedown", "1"])
    time.sleep(0.2)
    args = ["xdotool"]
    for i, (dx, dy) in enumerate(path):
        if i:
            args += ["sleep", str(1 / RATE)]
        args += ["mousemove", "--window", str(main), str(grip[0] + dx), str(grip[1] + dy)]
    start = time.monotonic()
    d.run(args, timeout=60)
    return start, time.monotonic()


def thread_ns(pid: int, tid: int) -> int:
    with open(f"/proc/{pid}/task/{tid}/schedstat") as f:
        return int(f.read().split()[0])


def sleeps(path: str, start: float, end: float, ui_thread: int) -> tuple:
    """Sleep calls made between start and end (epoch seconds): by the UI thread, by any thread,
    and the seconds the UI thread spent in them."""
    ui = every = 0
    ui_seconds = 0.0
    with open(path, errors="replace") as f:
        for line in f:
            match = STRACE_LINE.match(line.rstrip())
            if match and start <= float(match.group(2)) <= end:
                every += 1
                if int(match.group(1)) == ui_thread:
                    ui += 1
                    ui_seconds += float(match.group(4))
    return ui, every, ui_seconds


def measured_run(start: bd.Rect, grip: tuple) -> dict:
    """Sizewise under strace (stopping at sleep calls only) with xev watching the target's frame."""
    with bd.BenchDesktop() as d:
        target = bd.start_target(d, "Dragged target", TARGET_GEOMETRY)
        strace_path = os.path.join(d.dir, "strace.txt")
        proc, main = bd.start_sizewise(d, "strace", "-f", "--seccomp-bpf", "-ttt", "-T", "-e",
                                       f"trace={SLEEP_CALLS}", "-o", strace_path)
        with open(f"/proc/{proc.pid}/task/{proc.pid}/children") as f:
            pid = int(f.read().split()[0])  # strace's child: Sizewise
        before = prepare(d, main, target, start)
        watch = FrameWatch(d, bd.frame(d, target))
        time.sleep(0.3)
        cpu0, ui0, wall0 = bd.cpu_nanoseconds(pid), thread_ns(pid, pid), time.time()
        first, last = drag(d, main, grip)
        time.sleep(SETTLE_SECONDS)
        cpu1, ui1, wall1 = bd.cpu_nanoseconds(pid), thread_ns(pid, pid), time.time()
        d.run(["xdotool", "mouseup", "1"])
        changes = watch.between(first, last + SETTLE_SECONDS)
        final = changes[-1][1] if changes else bd.frame_rect(d, target)
        # The path passes its end point before, so the final place counts from its last arrival.
        reached = changes[-1][0] if changes else last
        at_last = watch.last_before(last) or before
        ui_sleeps, all_sleeps, slept = sleeps(strace_path, wall0, wall1, pid)
        return {
            "final": final, "moves_seconds": last - first,
            "frame_changes": len(changes), "cpu_ns": cpu1 - cpu0, "ui_ns": ui1 - ui0,
            "ui_sleeps": ui_sleeps, "all_sleeps": all_sleeps, "slept": slept,
            "lag": reached - last, "at_last": at_last,
        }


def traced_run(start: bd.Rect, grip: tuple) -> dict:
    """The same drag with Sizewise behind xtrace: its _NET_MOVERESIZE_WINDOW messages."""
    with bd.BenchDesktop() as d:
        target = bd.start_target(d, "Dragged target", TARGET_GEOMETRY)
        _, main, trace_path = bd.start_traced(d)
        prepare(d, main, target, start)
        first, last = drag(d, main, grip)
        time.sleep(SETTLE_SECONDS)
        d.run(["xdotool", "mouseup", "1"])
        with open(trace_path, errors="replace") as trace:
            stamps = [float(line.split(" ", 1)[0]) for line in trace
                      if "SendEvent" in line and '"_NET_MOVERESIZE_WINDOW"' in line]
        inside = [s for s in stamps if first - 0.1 <= s <= last + SETTLE_SECONDS]
        return {"placements": len(inside), "final": bd.frame_rect(d, target)}


def main() -> int:
    if not os.access(bd.SIZEWISE, os.X_OK):
        print(f"sizewise not built: {bd.SIZEWISE}", file=sys.stderr)
        return 2
    print(f"Sizewise dragging in the layout view: {bd.SIZEWISE}")
    print(f"Each run: private Xvfb 1024x768 with openbox and tint2, a {TARGET_GEOMETRY} test client "
          f"as the target; left press on its image, then {MOVES} one-pixel moves at {RATE} a "
          f"second (one xdotool), ending {PATH[-1][0]},{PATH[-1][1]} px from the press; the "
          "button stays down until the figures are taken. The image's place and the expected end (one "
          "move of the whole offset) are read first over AT-SPI, on a desktop of their own.")
    print()
    start, grip, expected = probe()
    run = measured_run(start, grip)
    traced = traced_run(start, grip)
    placements = traced["placements"]
    print("Run 1 (strace stopping at sleep calls only, xev on the target's frame):")
    print(f"  moves took:                {run['moves_seconds']:.2f} s "
          f"({MOVES / run['moves_seconds']:.0f} moves a second)")
    print(f"  frame changes seen:        {run['frame_changes']}")
    per_change = run["ui_ns"] / max(run["frame_changes"], 1) / 1e6
    print(f"  UI thread CPU:             {run['ui_ns'] / 1e6:.1f} ms over the drag "
          f"(all threads {run['cpu_ns'] / 1e6:.1f} ms)")
    print(f"  UI thread CPU per move:    {run['ui_ns'] / MOVES / 1e6:.3f} ms")
    print(f"  UI thread CPU per frame change: {per_change:.3f} ms   (goal: under 1 ms)")
    print(f"  sleep calls during drag:   {run['ui_sleeps']} on the UI thread, "
          f"{run['all_sleeps']} in all threads ({SLEEP_CALLS})   (goal: none)")
    print(f"  UI thread time asleep:     {run['slept'] * 1000:.1f} ms")
    lag_ms = run["lag"] * 1000
    at_last = run["at_last"]
    print(f"  frame at the last move:    {at_last.x},{at_last.y}, "
          f"{abs(at_last.x - run['final'].x) + abs(at_last.y - run['final'].y)} px "
          f"(x plus y) short of its final place")
    print(f"  final place reached:       {lag_ms:.1f} ms after the last move "
          "(negative: before xdotool had exited)")
    print(f"  final frame:               {tuple(run['final'])}, expected {tuple(expected)}: "
          f"{'exact' if run['final'] == expected else 'WRONG'}")
    print()
    print("Run 2 (Sizewise behind an xtrace proxy):")
    print(f"  placements sent:           {placements} _NET_MOVERESIZE_WINDOW messages for "
          f"{MOVES} moves (goal: one a move)")
    print(f"  UI thread CPU per placement (run 1 CPU / run 2 count): "
          f"{run['ui_ns'] / max(placements, 1) / 1e6:.3f} ms   (goal: under 1 ms)")
    print(f"  final frame:               {tuple(traced['final'])}, expected {tuple(expected)}: "
          f"{'exact' if traced['final'] == expected else 'WRONG'}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
