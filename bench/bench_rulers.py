"""Measures what the rulers cost: both rulers shown and the horizontal one locked to a still
target. Prints Sizewise's idle CPU against bare Qt programs with timers at the same periods
(the floor, measured in the same run), X requests and round trips per 10 ms tick, peak RSS, and
with a moving pointer and a moving target the CPU and the ruler's lag behind the target."""

import argparse
import os
import random
import statistics
import subprocess
import sys
import time

import benchdesk as bd

TICK = 0.01
FLOOR_PERIODS = ("10", "50", "100")
TIMER_FLOOR = os.environ.get("TIMER_FLOOR") or os.path.join(
    os.path.dirname(bd.SIZEWISE), "bench", "sizewise_timer_floor")
H_NAME = "Sizewise Horizontal Ruler"
TARGET_GEOMETRY = "640x400+200+150"
SETTLE = 3.0


def settings() -> str:
    t = 15  # the settings hold places in twips, 15 a pixel at Xvfb's 96 DPI
    return (f"[Config]\nShowRuler=True\n[HorizontalRulerConfig]\nTop={600 * t}\nLeft={300 * t}\n"
            f"Width=433\n[RulerConfig]\nMode=1\n[VerticalRulerConfig]\nLeft={950 * t}\n"
            f"Top={100 * t}\nHeight=433\n")


def lock_spot() -> tuple:
    """Where the horizontal ruler's lock to the active window is, from the ruler's corner. Read
    over AT-SPI on a desktop of its own, so that the measured runs go without the accessibility
    bridge."""
    with bd.accessible_session(settings()) as s:
        s.start()
        x, y, w, h = s.extents(s.control(role="check box", name="Lock Ruler to Active Window", window=H_NAME))
        ruler = bd.rect(s.desktop, bd.wait_until(lambda: bd.managed_window(s.desktop, H_NAME), 15,
                                                 "the horizontal ruler"))
        return x + w // 2 - ruler.x, y + h // 2 - ruler.y


def lock_to_target(d, target: int, spot: tuple) -> int:
    """Makes target the active window, locks the horizontal ruler to it and returns the ruler."""
    h = bd.wait_until(lambda: bd.managed_window(d, H_NAME), 15, "the horizontal ruler")
    bd.activate(d, target)
    time.sleep(0.3)
    d.run(["xdotool", "mousemove", "--window", str(h), *map(str, spot), "click", "1"])
    frame = bd.outer_rect(d, target)
    bd.wait_until(lambda: bd.rect(d, h).x == frame.x and bd.rect(d, h).w == frame.w, 5,
                  "the ruler locked to the target")
    d.run(["xdotool", "mousemove", "700", "700"])
    return h


def cpu_over(pid: int, seconds: float) -> float:
    """Share of one core used by pid over the next seconds, from the scheduler's accounting."""
    ns0, t0 = bd.cpu_nanoseconds(pid), time.monotonic()
    time.sleep(seconds)
    return (bd.cpu_nanoseconds(pid) - ns0) / 1e9 / (time.monotonic() - t0)


def floor_cpu(d, seconds: float) -> float:
    proc = d.spawn([TIMER_FLOOR, *FLOOR_PERIODS], "floor")
    try:
        time.sleep(SETTLE)
        return cpu_over(proc.pid, seconds)
    finally:
        proc.terminate()
        proc.wait(10)


def traced(seconds: float, spot: tuple) -> dict:
    with bd.BenchDesktop() as d:
        bd.write_settings(d, settings())
        target = bd.start_target(d, "Still target", TARGET_GEOMETRY)
        _, _, trace_path = bd.start_traced(d)
        lock_to_target(d, target, spot)
        time.sleep(SETTLE)
        start = time.monotonic()
        time.sleep(seconds)
        return bd.parse_trace(trace_path, start, time.monotonic())


def mover_args(target: int, seconds: float) -> list:
    args = ["xdotool"]
    for i in range(int(seconds / 0.1)):
        args += ["windowmove", str(target), str(150 + (i % 2) * 60), "150", "sleep", "0.1"]
    return args


def pointer_args(seconds: float) -> list:
    args = ["xdotool"]
    for i in range(int(seconds / TICK)):
        args += ["mousemove", str(100 + i % 700), str(300 + (i % 7)), "sleep", str(TICK)]
    return args


def measure_lag(d, target: int, h: int, samples: int) -> list:
    """Moves the target and times from the move's request until the ruler stands at the new
    place (the window manager's part included)."""
    lags = []
    for i in range(samples):
        before = bd.outer_rect(d, target)
        x = 150 + (i % 2) * 80 + random.randint(1, 20)
        while x == before.x:
            x += 1
        d.run(["xdotool", "windowmove", str(target), str(x), "150"])
        t0 = time.monotonic()
        frame = bd.wait_until(lambda: (lambda f: f if f.x != before.x else None)(bd.outer_rect(d, target)),
                              2, "the target to move", interval=0.005)
        bd.wait_until(lambda: bd.rect(d, h).x == frame.x, 2, "the ruler to follow", interval=0.005)
        lags.append(time.monotonic() - t0)
        time.sleep(random.uniform(0.05, 0.15))
    return lags


def plain(seconds: float, rounds: int, spot: tuple) -> dict:
    with bd.BenchDesktop() as d:
        bd.write_settings(d, settings())
        target = bd.start_target(d, "Still target", TARGET_GEOMETRY)
        sizewise, floors = [], []
        hwm = 0
        for _ in range(rounds):
            # Sizewise and the floor by turns, on the same desktop, so that drift hits both.
            proc, _ = bd.start_sizewise(d)
            lock_to_target(d, target, spot)
            time.sleep(SETTLE)
            sizewise.append(cpu_over(proc.pid, seconds))
            hwm = max(hwm, bd.status_kb(proc.pid, "VmHWM"))
            proc.terminate()
            proc.wait(10)
            floors.append(floor_cpu(d, seconds))

        proc, _ = bd.start_sizewise(d)
        h = lock_to_target(d, target, spot)
        time.sleep(SETTLE)
        pid = proc.pid
        movers = [subprocess.Popen(pointer_args(seconds + 2), env=d.env, stdout=subprocess.DEVNULL),
                  subprocess.Popen(mover_args(target, seconds + 2), env=d.env, stdout=subprocess.DEVNULL)]
        time.sleep(0.5)
        moving = cpu_over(pid, seconds)
        for m in movers:
            m.wait(30)
        lags = measure_lag(d, target, h, 20)
        hwm = max(hwm, bd.status_kb(pid, "VmHWM"))
        return {"sizewise": sizewise, "floor": floors, "hwm_kb": hwm, "moving": moving,
                "lags": lags, "alive": proc.poll() is None}


def main() -> int:
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--seconds", type=float, default=20.0, help="length of each measuring window")
    parser.add_argument("--rounds", type=int, default=2, help="turns of Sizewise and the floor")
    args = parser.parse_args()
    for path in (bd.SIZEWISE, TIMER_FLOOR):
        if not os.access(path, os.X_OK):
            print(f"not built: {path}", file=sys.stderr)
            return 2
    s = args.seconds
    print(f"Rulers: {bd.SIZEWISE}")
    print(f"Private Xvfb 1024x768 with openbox and tint2; both rulers shown, absolute numbers, the "
          f"horizontal ruler locked to a still target; {SETTLE:.0f} s to settle, {s:.0f} s windows. "
          f"The lock button is found first over AT-SPI, on a desktop of its own.")
    print()
    spot = lock_spot()
    t = traced(s, spot)
    ticks = s / TICK
    print("X traffic (through an xtrace proxy; every request of Sizewise, the 100 ms monitor's included):")
    print(f"  requests per 10 ms tick:   {t['requests'] / ticks:.2f}  ({t['requests'] / s:.0f} per second)")
    print(f"  round trips per 10 ms tick:{t['round_trips'] / ticks:5.2f}  ({t['round_trips'] / s:.0f} per "
          f"second; 100 ticks and 10 monitor polls a second would make 1.10)   (goal: 1 per tick)")
    print()
    p = plain(s, args.rounds, spot)
    sw, fl = statistics.mean(p["sizewise"]), statistics.mean(p["floor"])
    print(f"Idle CPU of one core (scheduler accounting), by turns with a bare Qt 6 Widgets program "
          f"with timers at {', '.join(FLOOR_PERIODS)} ms:")
    print(f"  Sizewise:                  " + ", ".join(f"{x * 100:.3f} %" for x in p["sizewise"]))
    print(f"  floor:                     " + ", ".join(f"{x * 100:.3f} %" for x in p["floor"]))
    print(f"  ratio to the floor:        {sw / fl:.2f}   (goal: at most 1.3)")
    print(f"  peak RSS (VmHWM):          {p['hwm_kb'] / 1024:.1f} MiB   (goal: under 45 MB)")
    print()
    lags = sorted(p["lags"])
    print("Pointer moved at 100 Hz (xdotool) and the target moved every 100 ms:")
    print(f"  Sizewise CPU of one core:  {p['moving'] * 100:.2f} %")
    print(f"  ruler's lag behind the target, {len(lags)} moves: median {statistics.median(lags) * 1000:.0f} ms "
          f"({statistics.median(lags) / 0.1:.2f} ticks of 100 ms), worst {lags[-1] * 1000:.0f} ms "
          f"({lags[-1] / 0.1:.2f} ticks)")
    if not p["alive"]:
        print("  note: sizewise was not running at the end")
    return 0


if __name__ == "__main__":
    sys.exit(main())
