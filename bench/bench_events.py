"""What Sizewise costs while nothing moves and how promptly it follows when something does, on
one private desktop (Xvfb, openbox, tint2): idle CPU by turns with a bare Qt program with timers
at 10, 50 and 100 ms; X requests and wake-ups a second with everything shown and when hidden to
the notification area with the rulers hidden; the time from another window's activation to its
width shown; a locked ruler's lag behind a moved target; and reads while another program drags
the target. The benchmark's own X connection (python-xlib) makes the changes and sees the
window manager's events; AT-SPI tells when a label changed."""

import argparse
import collections
import os
import re
import statistics
import sys
import threading
import time

from Xlib import X, display, protocol
from Xlib.ext import damage

import benchdesk as bd

SETTLE = 3.0
FLOOR = os.environ.get("TIMER_FLOOR") or os.path.join(os.path.dirname(bd.SIZEWISE), "bench", "sizewise_timer_floor")
BARE = os.environ.get("ACTIVE_WIDTH") or os.path.join(os.path.dirname(bd.SIZEWISE), "bench", "sizewise_active_width")
H_NAME = "Sizewise Horizontal Ruler"
REQUEST = re.compile(r"^(\d+\.\d+) (\d+):<:[0-9a-f]+:\s*\d+: (?:Request\(\d+\)|[A-Za-z-]+\(\d+\)): (\w+)")


class Desk:
    """The benchmark's own connection: activates, moves and watches windows as another program."""

    def __init__(self, name):
        self.x = display.Display(name)
        self.root = self.x.screen().root
        self.active = self.x.intern_atom("_NET_ACTIVE_WINDOW")

    def activate(self, window):
        event = protocol.event.ClientMessage(window=self.x.create_resource_object("window", window),
                                             client_type=self.active, data=(32, [2, X.CurrentTime, 0, 0, 0]))
        self.root.send_event(event, event_mask=X.SubstructureRedirectMask | X.SubstructureNotifyMask)
        self.x.flush()

    def move(self, window, x, y):
        self.x.create_resource_object("window", window).configure(x=x, y=y)
        self.x.flush()


class Watch(threading.Thread):
    """A second connection that notes, with the monotonic time, each change of the active window
    and each move of the windows it is given."""

    def __init__(self, name, frames=()):
        super().__init__(daemon=True)
        self.x = display.Display(name)
        self.active = self.x.intern_atom("_NET_ACTIVE_WINDOW")
        self.x.screen().root.change_attributes(event_mask=X.PropertyChangeMask)
        for frame in frames:
            self.x.create_resource_object("window", frame).change_attributes(event_mask=X.StructureNotifyMask)
        self.x.flush()
        self.seen = collections.defaultdict(list)
        self.start()

    def run(self):
        while True:
            try:
                e = self.x.next_event()
            except Exception:  # the desktop has ended
                return
            if e.type == X.PropertyNotify and e.atom == self.active:
                self.seen["active"].append(time.monotonic())
            elif e.type == X.ConfigureNotify:
                self.seen[e.window.id].append((time.monotonic(), e.x))

    def first_after(self, key, moment, fits=lambda item: True, timeout=2.0):
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            for item in list(self.seen[key]):
                stamp = item[0] if isinstance(item, tuple) else item
                if stamp >= moment and fits(item):
                    return stamp
            time.sleep(0.0005)
        return None


class Damage(threading.Thread):
    """A connection that notes, with the monotonic time, each change of the active window (and
    what it became) and each rectangle drawn into the windows it is given (XDamage, raw
    rectangles)."""

    def __init__(self, name, windows):
        super().__init__(daemon=True)
        self.x = display.Display(name)
        self.active = self.x.intern_atom("_NET_ACTIVE_WINDOW")
        self.root = self.x.screen().root
        self.root.change_attributes(event_mask=X.PropertyChangeMask)
        self.x.damage_query_version()
        for window in windows:
            self.x.create_resource_object("window", window).damage_create(damage.DamageReportRawRectangles)
        self.x.flush()
        self.changes, self.drawn = [], collections.defaultdict(list)
        self.start()

    def run(self):
        while True:
            try:
                e = self.x.next_event()
                if e.type == X.PropertyNotify and e.atom == self.active:
                    now = time.monotonic()
                    value = self.root.get_full_property(self.active, X.AnyPropertyType)
                    self.changes.append((now, value.value[0] if value and len(value.value) else 0))
                elif e.__class__.__name__ == "DamageNotify":
                    a = e.area
                    self.drawn[e.drawable.id].append((time.monotonic(), a.x, a.y, a.width, a.height))
            except Exception:  # the desktop has ended
                return

    def change_to(self, window, after, timeout=2.0):
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            hit = next((t for t, w in list(self.changes) if t >= after and w == window), None)
            if hit is not None:
                return hit
            time.sleep(0.0005)
        return None

    def first_drawn(self, window, after, fits=lambda rect: True, timeout=2.0):
        deadline = time.monotonic() + timeout
        while time.monotonic() < deadline:
            hit = next((t for t, *r in list(self.drawn[window]) if t >= after and fits(r)), None)
            if hit is not None:
                return hit
            time.sleep(0.0005)
        return None


def drawing(samples):
    """From the window manager's change of the active window to the first drawing of the new
    values: Sizewise's main window and a bare Qt label that shows the active window's width, both
    on the same event, one desktop, one run. The title marquee's steps draw only inside its strip
    and are not counted."""
    with bd.BenchDesktop() as d:
        a = bd.start_target(d, "First", "401x300+300+150")
        b = bd.start_target(d, "Second", "517x333+350+250")
        proc, main = bd.start_sizewise(d)
        d.spawn([BARE, "-geometry", "160x60+820+640"], "bare")
        bare = bd.wait_until(lambda: bd.managed_window(d, "Active width"), 15, "the bare label")
        watch, desk = Damage(d.display, [main, bare]), Desk(d.display)
        strip = (0, 58, 119, 21)  # the marquee, in the main window
        outside = lambda r: not (r[0] >= strip[0] and r[1] >= strip[1] and r[0] + r[2] <= strip[0] + strip[2]
                                 and r[1] + r[3] <= strip[1] + strip[3])
        figures = {"sizewise": [], "bare": []}
        for i in range(samples + 1):
            window = (a, b)[i % 2]
            time.sleep(0.15)
            t0 = time.monotonic()
            desk.activate(window)
            changed = watch.change_to(window, t0)
            if changed is None or i == 0:  # the first switch also brings Sizewise's first drawing
                continue
            for name, win, fits in (("sizewise", main, outside), ("bare", bare, lambda r: True)):
                drawn = watch.first_drawn(win, changed, fits)
                if drawn is not None:
                    figures[name].append(drawn - changed)
        proc.terminate()
        return figures


def load(pid):
    """CPU seconds and wake-ups (voluntary and involuntary switches) over all threads so far."""
    switches = 0
    for task in os.listdir(f"/proc/{pid}/task"):
        try:
            with open(f"/proc/{pid}/task/{task}/status") as f:
                switches += sum(int(line.split()[1]) for line in f if "ctxt_switches:" in line)
        except OSError:
            continue
    return bd.cpu_nanoseconds(pid) / 1e9, switches


def rates(pid, seconds):
    (c0, w0), t0 = load(pid), time.monotonic()
    time.sleep(seconds)
    (c1, w1), t1 = load(pid), time.monotonic()
    return (c1 - c0) / (t1 - t0), (w1 - w0) / (t1 - t0)


def idle(seconds, rounds):
    """Shown (main window and rulers) by turns with the floor, then hidden with rulers hidden."""
    out = {"sizewise": [], "floor": [], "wakeups": [], "hidden": None}
    with bd.BenchDesktop() as d:
        target = bd.start_target(d, "Still target", "640x400+200+150")
        for _ in range(rounds):
            proc, _ = bd.start_sizewise(d)
            bd.activate(d, target)
            d.run(["xdotool", "mousemove", "900", "700"])
            time.sleep(SETTLE)
            cpu, wake = rates(proc.pid, seconds)
            out["sizewise"].append(cpu)
            out["wakeups"].append(wake)
            proc.terminate()
            proc.wait(10)
            floor = d.spawn([FLOOR, "10", "50", "100"], "floor")
            time.sleep(SETTLE)
            out["floor"].append(rates(floor.pid, seconds)[0])
            floor.terminate()
            floor.wait(10)
        bd.write_settings(d, "[Config]\nHidden=True\nShowRuler=False\n")
        proc = d.spawn([bd.SIZEWISE, "--no-splash"], "hidden")
        time.sleep(SETTLE)
        out["hidden"] = rates(proc.pid, seconds)
        proc.terminate()
        proc.wait(10)
    return out


def requests_by_name(path, start, end):
    """Requests per connection and name between start and end, from xtrace's log."""
    counts = collections.defaultdict(collections.Counter)
    with open(path, errors="replace") as trace:
        for line in trace:
            m = REQUEST.match(line)
            if m and start <= float(m.group(1)) <= end:
                counts[m.group(2)][m.group(3)] += 1
    return counts


def traffic(seconds, drag_seconds):
    """Through xtrace: requests a second on a still desktop, then reads under a drag."""
    with bd.BenchDesktop() as d:
        target = bd.start_target(d, "Still target", "640x400+200+150")
        proc, _, trace = bd.start_traced(d)
        bd.activate(d, target)
        d.run(["xdotool", "mousemove", "900", "700"])
        time.sleep(SETTLE)
        start = time.monotonic()
        time.sleep(seconds)
        still = requests_by_name(trace, start, time.monotonic())
        desk = Desk(d.display)
        cpu0, start = bd.cpu_nanoseconds(proc.pid), time.monotonic()
        moves = 0
        while time.monotonic() - start < drag_seconds:  # 500 moves a second
            desk.move(target, 150 + moves % 200, 150)
            moves += 1
            time.sleep(0.002)
        time.sleep(0.2)
        end = time.monotonic()
        cpu = (bd.cpu_nanoseconds(proc.pid) - cpu0) / 1e9
        dragged = requests_by_name(trace, start, end)
        reads = sum(c["GetGeometry"] for c in dragged.values())  # one a reading of the target
        return {"still": still, "seconds": seconds, "moves": moves, "drag_seconds": end - start,
                "reads": reads, "dragged": dragged, "cpu": cpu}


def latencies(samples):
    """Over AT-SPI: activation to the width shown, and where the ruler's lock to the active
    window is from the ruler's corner (one AT-SPI desktop a process)."""
    import pyatspi
    from gi.repository import GLib
    with bd.accessible_session("[Config]\nShowRuler=True\n") as s:
        a = s.client("First", "401x300+100+100")
        b = s.client("Second", "517x333+300+200")
        s.start()
        x, y, w, h = s.extents(s.control(role="check box", name="Lock Ruler to Active Window", window=H_NAME))
        ruler = bd.rect(s.desktop, bd.wait_until(lambda: bd.managed_window(s.desktop, H_NAME), 15, "the ruler"))
        spot = (x + w // 2 - ruler.x, y + h // 2 - ruler.y)
        width = s.control(role="label", description="Width")
        shown = []
        pyatspi.Registry.registerEventListener(
            lambda e: shown.append((time.monotonic(), e.source.name)) if e.source == width else None,
            "object:property-change:accessible-name")
        pump = lambda: GLib.MainContext.default().iteration(False)
        desk, activation = Desk(s.desktop.display), []
        for i in range(samples):
            window = (a, b)[i % 2]
            want = str(s.frame(window)[2])
            mark = len(shown)
            time.sleep(0.1)
            t0 = time.monotonic()
            desk.activate(window)
            while not any(n == want for _, n in shown[mark:]) and time.monotonic() - t0 < 2:
                pump()
            hits = [t for t, n in shown[mark:] if n == want]
            if hits:
                activation.append(hits[0] - t0)
        return activation, spot


def ruler_lag(samples, spot):
    with bd.BenchDesktop() as d:
        bd.write_settings(d, "[Config]\nShowRuler=True\n")
        target = bd.start_target(d, "Moved target", "640x400+200+150")
        bd.start_sizewise(d)
        h = bd.wait_until(lambda: bd.managed_window(d, H_NAME), 15, "the horizontal ruler")
        bd.activate(d, target)
        d.run(["xdotool", "mousemove", "--window", str(h), *map(str, spot), "click", "1"])
        bd.wait_until(lambda: bd.rect(d, h).x == bd.outer_rect(d, target).x, 5, "the ruler locked")
        d.run(["xdotool", "mousemove", "900", "700"])
        ruler_frame = bd.frame(d, h)
        watch, desk, lags = Watch(d.display, [ruler_frame]), Desk(d.display), []
        for i in range(samples):
            x = 150 + (i % 2) * 80
            time.sleep(0.1)
            t0 = time.monotonic()
            desk.move(target, x, 150)
            t1 = watch.first_after(ruler_frame, t0)
            if t1 is not None:
                lags.append(t1 - t0)
        return lags


def ms(values):
    values = sorted(values)
    return f"median {statistics.median(values) * 1000:.1f} ms, worst {values[-1] * 1000:.1f} ms ({len(values)})"


def report(idle_figures, t, activation, drawn, lags):
    sw, fl = statistics.mean(idle_figures["sizewise"]), statistics.mean(idle_figures["floor"])
    print("Still desktop, pointer still, main window and both rulers shown:")
    print("  Sizewise CPU of one core: " + ", ".join(f"{v * 100:.3f} %" for v in idle_figures["sizewise"]))
    print("  floor (timers at 10, 50, 100 ms): " + ", ".join(f"{v * 100:.3f} %" for v in idle_figures["floor"]))
    print(f"  ratio to the floor:       {sw / fl:.2f}   (goal: at most 0.5)")
    print("  wake-ups a second, all threads: " + ", ".join(f"{v:.1f}" for v in idle_figures["wakeups"]))
    for conn, names in sorted(t["still"].items()):
        per = ", ".join(f"{n} {c / t['seconds']:.1f}" for n, c in names.most_common(6))
        print(f"  X requests a second, connection {conn}: {sum(names.values()) / t['seconds']:.1f} ({per})")
    cpu, wake = idle_figures["hidden"]
    print(f"Hidden to the notification area, rulers hidden: {wake:.2f} wake-ups a second (goal: at most 1), "
          f"CPU {cpu * 100:.3f} %")
    print(f"Another window activated to its width shown (AT-SPI): {ms(activation)}   (goal: median under 15 ms)")
    print(f"The active window changed to the new values drawn (XDamage): Sizewise {ms(drawn['sizewise'])}, "
          f"a bare Qt label {ms(drawn['bare'])}   (goal: Sizewise's median within 2 ms)")
    print(f"A locked ruler behind a target moved by another program: {ms(lags)}   (goal: median under 10 ms)")
    per_read = t["cpu"] / max(t["reads"], 1)
    print(f"Another program moves the target {t['moves'] / t['drag_seconds']:.0f} times a second for "
          f"{t['drag_seconds']:.1f} s: {t['reads'] / t['drag_seconds']:.0f} readings a second (goal: at most 100), "
          f"CPU {t['cpu'] * 1000:.0f} ms, {per_read * 1e6:.0f} us per reading")


def main() -> int:
    parser = argparse.ArgumentParser(description=__doc__)
    parser.add_argument("--seconds", type=float, default=10.0)
    parser.add_argument("--rounds", type=int, default=2)
    parser.add_argument("--samples", type=int, default=30)
    args = parser.parse_args()
    for path in (bd.SIZEWISE, FLOOR, BARE):
        if not os.access(path, os.X_OK):
            print(f"not built: {path}", file=sys.stderr)
            return 2
    print(f"Sizewise: {bd.SIZEWISE}; {args.seconds:.0f} s windows after {SETTLE:.0f} s to settle")
    activation, spot = latencies(args.samples)
    drawn = drawing(args.samples)
    idle_figures = idle(args.seconds, args.rounds)
    t = traffic(args.seconds, 2.0)
    lags = ruler_lag(args.samples, spot)
    report(idle_figures, t, activation, drawn, lags)
    return 0


if __name__ == "__main__":
    sys.exit(main())
