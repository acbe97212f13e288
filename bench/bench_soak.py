"""An hour of work (--minutes 5 for a quick run): Sizewise on a private desktop (Xvfb, openbox,
tint2, AT-SPI) while another program moves and resizes the target ten times a second, the
foreground changes every second, the horizontal ruler is locked to the target, the pointer moves
and SHIFT+click measuring is started and ended every few seconds. Every minute it prints Sizewise's
resident memory, descriptors and threads; at the end whether the values and the locked ruler are
exact, the exit status and the settings file, and the memory's slope after the first five
minutes. Run under AddressSanitizer (SIZEWISE=build-test/sizewise) it also says whether
LeakSanitizer found a leak whose stack holds Sizewise's own code."""

import argparse
import os
import re
import signal
import statistics
import sys
import time

from Xlib import X, XK
from Xlib.ext import xtest

import benchdesk as bd
from bench_events import Desk, H_NAME

LOCK = dict(role="check box", name="Lock Ruler to Active Window", window=H_NAME)


def footprint(pid):
    return (bd.status_kb(pid, "VmRSS"), len(os.listdir(f"/proc/{pid}/fd")), len(os.listdir(f"/proc/{pid}/task")))


class Work:
    """The other programs' part: moves, activations, the pointer and measuring clicks."""

    def __init__(self, s, windows):
        self.desk, self.windows, self.tick = Desk(s.desktop.display), windows, 0
        self.shift = self.desk.x.keysym_to_keycode(XK.string_to_keysym("Shift_L"))

    def press(self, button, shift=False):
        x = self.desk.x
        if shift:
            xtest.fake_input(x, X.KeyPress, self.shift)
        xtest.fake_input(x, X.ButtonPress, button)
        xtest.fake_input(x, X.ButtonRelease, button)
        if shift:
            xtest.fake_input(x, X.KeyRelease, self.shift)

    def step(self):
        """A tenth of a second of work."""
        t, x = self.tick, self.desk.x
        target = self.windows[(t // 10) % 2]
        x.create_resource_object("window", target).configure(
            x=150 + t % 97, y=150 + t % 53, width=500 + t % 41, height=300 + t % 37)
        if t % 10 == 0:
            self.desk.activate(target)
        # Over the lower right of the screen, where only the targets and the root lie.
        xtest.fake_input(x, X.MotionNotify, x=700 + (t * 7) % 300, y=560 + (t * 3) % 180)
        if t % 40 == 10:
            self.press(1, shift=True)  # starts measuring
        elif t % 40 == 30:
            self.press(1)  # ends it
        x.flush()
        self.tick += 1


def locked_ruler_exact(s, window):
    ruler = bd.rect(s.desktop, bd.managed_window(s.desktop, H_NAME))
    x, _, w, _ = s.frame(window)
    return ruler.x == x and ruler.w == w


def leaks_of_our_own(log):
    """LeakSanitizer's reports whose stacks pass through Sizewise's own code (namespace sw)."""
    reports = re.split(r"\n(?=(?:Direct|Indirect) leak of )", log)
    return [r for r in reports if re.match(r"(Direct|Indirect) leak", r) and " sw::" in r]


def run(minutes):
    with bd.accessible_session("[Config]\nShowRuler=True\n") as s:
        windows = [s.client("Moved target", "500x300+150+150"), s.client("Other window", "300x200+650+420")]
        s.start()
        s.desktop.run(["xdotool", "windowactivate", "--sync", str(windows[0])])
        s.click(**LOCK)
        bd.wait_until(lambda: locked_ruler_exact(s, windows[0]), 5, "the ruler locked to the target")
        pid, work, rows = s.proc.pid, Work(s, windows), []
        start = time.monotonic()
        for minute in range(1, minutes + 1):
            while time.monotonic() - start < minute * 60:
                work.step()
                time.sleep(0.1)
            rows.append((minute, *footprint(pid)))
            print("minute %3d: RSS %7d KB, %3d descriptors, %2d threads" % rows[-1], flush=True)
        time.sleep(1.0)
        # The target is the window whose title is shown: a measuring click may have activated it.
        target = windows[0] if s.title() == "Moved target" else windows[1]
        values_exact, ruler_exact = s.shows(target), locked_ruler_exact(s, target)
        if not (values_exact and ruler_exact):
            print(f"shown {s.title()!r} {s.values()}, its frame {s.frame(target)}, "
                  f"the ruler {bd.rect(s.desktop, bd.managed_window(s.desktop, H_NAME))}", flush=True)
        s.proc.send_signal(signal.SIGTERM)
        status = s.proc.wait(timeout=30)
        settings = s.settings()
        return rows, values_exact, ruler_exact, status, settings, s.desktop.log("sizewise")


def slope(rows):
    """RSS growth in KB a minute after the first five minutes (least squares)."""
    later = [(m, rss) for m, rss, _, _ in rows if m > 5]
    if len(later) < 2:
        return float("nan")
    return statistics.linear_regression([m for m, _ in later], [r for _, r in later]).slope


def main() -> int:
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--minutes", type=int, default=60)
    args = parser.parse_args()
    print(f"Sizewise: {bd.SIZEWISE}; {args.minutes} minutes", flush=True)
    rows, values_exact, ruler_exact, status, settings, log = run(args.minutes)
    first, last = rows[0], rows[-1]
    print(f"RSS slope after minute 5: {slope(rows):.2f} KB a minute (goal: under 1)")
    print(f"descriptors {first[2]} -> {last[2]}, threads {first[3]} -> {last[3]}")
    print(f"values exact at the end: {values_exact}; locked ruler exact: {ruler_exact}")
    config = settings["Config"] if "Config" in settings else {}
    print(f"exit status {status}; settings file: {len(config)} keys in [Config], "
          f"sections {', '.join(settings.sections())}")
    if "LeakSanitizer" in log or "AddressSanitizer" in log:
        own = leaks_of_our_own(log)
        print(f"sanitizer reports: {log.count('leak of ')} leaks, {len(own)} through Sizewise's own code")
        for report in own[:5]:
            print("  " + "\n  ".join(line for line in report.splitlines()[:14] if line.strip()))
    ok = values_exact and ruler_exact and status == 0 and len(config) > 0
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main())
