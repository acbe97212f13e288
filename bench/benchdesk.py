"""What the benchmarks share: Sizewise, a target and their windows on a private desktop
(scripts/desktop.py) as the X server tells them, Sizewise behind an xtrace proxy and what its trace
counts, CPU and memory from /proc, and a look over AT-SPI at where a control is."""

import collections
import contextlib
import os
import random
import re
import sys
import time

TESTS = os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(__file__))), "tests")
sys.path[:0] = [os.path.join(os.path.dirname(TESTS), "scripts"), os.path.join(TESTS, "e2e")]
import desktop  # noqa: E402

SIZEWISE = os.environ.get("SIZEWISE") or os.path.join(os.path.dirname(TESTS), "build", "sizewise")
POLL_WAIT = 0.15  # Sizewise polls every 100 ms; a little longer holds one whole poll
CLUSTER_GAP = 0.04  # requests closer together than this belong to one poll
TRACE_LINE = re.compile(r"^(\d+\.\d+) (\d+):([<>]):([0-9a-f]+):(.*)$")
# With -w xtrace logs each read from a client socket: one line per write the client made.
RECEIVED = re.compile(r"^(\d+):<:received \d+ bytes")


Rect = collections.namedtuple("Rect", "x y w h")


def wait_until(predicate, timeout, what, interval=0.02):
    """desktop.wait_until, polling at interval: the ruler's lag is timed by polling every 5 ms."""
    deadline = time.monotonic() + timeout
    while not (value := predicate()):
        if time.monotonic() >= deadline:
            raise AssertionError(f"timed out after {timeout} s waiting for {what}")
        time.sleep(interval)
    return value


class BenchDesktop(desktop.Desktop):
    """The desktop the figures are taken on: openbox and tint2, no session bus, no AT-SPI."""
    proxy_socket = ""

    def stop(self):
        super().stop()
        # xtrace leaves its listening socket behind; it was not there before the run.
        if self.proxy_socket and os.path.exists(self.proxy_socket):
            os.unlink(self.proxy_socket)


def rect(d, window) -> Rect:
    info = d.run(["xwininfo", "-id", str(window)])
    return Rect(*(int(re.search(rf"{key}:\s+(-?\d+)", info).group(1))
                  for key in ("Absolute upper-left X", "Absolute upper-left Y", "Width", "Height")))


def frame(d, window) -> int:
    """The window manager's frame around a client."""
    info = d.run(["xwininfo", "-children", "-id", str(window)])
    return int(re.search(r"Parent window id: (0x[0-9a-f]+)", info).group(1), 16)


def frame_rect(d, window) -> Rect:
    return rect(d, frame(d, window))


def outer_rect(d, window) -> Rect:
    """The client with its _NET_FRAME_EXTENTS: the frame as the window manager shows it."""
    c = rect(d, window)
    sides = re.findall(r"-?\d+", d.run(["xprop", "-id", str(window), "_NET_FRAME_EXTENTS"]).partition("=")[2])
    left, right, top, bottom = map(int, sides) if len(sides) == 4 else (0, 0, 0, 0)
    return Rect(c.x - left, c.y - top, c.w + left + right, c.h + top + bottom)


def managed_window(d, title):
    """The window with this title that the window manager manages and has framed, or None."""
    for line in d.run(["wmctrl", "-l"]).splitlines():
        fields = line.split(None, 3)
        if fields[3:] == [title] and d.framed(int(fields[0], 16)):
            return int(fields[0], 16)
    return None


def start_target(d, title, geometry) -> int:
    """Starts a sample window and returns it once the window manager has framed it."""
    window = d.sample_window(title, geometry)
    wait_until(lambda: d.framed(window), 10, f"{title!r} framed")
    return window


def start_sizewise(d, *prefix, env=None) -> tuple:
    """Starts Sizewise without its splash, behind prefix (strace, say); returns the process and
    its main window once that is framed."""
    proc = d.spawn([*prefix, SIZEWISE, "--no-splash"], "sizewise", env=env)

    def main_window():
        if proc.poll() is not None:
            raise RuntimeError(f"sizewise exited with {proc.returncode}: " + d.log("sizewise")[-500:])
        return managed_window(d, "Sizewise")
    return proc, wait_until(main_window, 30, "the Sizewise main window")


def activate(d, window) -> None:
    """Makes window the active one and lets a poll see it: Sizewise keeps its last target while
    it has the focus itself."""
    d.run(["xdotool", "windowactivate", "--sync", str(window)])
    time.sleep(POLL_WAIT)


def settings_path(d) -> str:
    return os.path.join(d.env["XDG_CONFIG_HOME"], "Sizewise", "Sizewise.conf")


def write_settings(d, text) -> None:
    os.makedirs(os.path.dirname(settings_path(d)), exist_ok=True)
    with open(settings_path(d), "w") as f:
        f.write(text)


@contextlib.contextmanager
def accessible_session(settings=""):
    """A session of tests/e2e/e2e.py, to find where a control is as a screen reader does. It has
    a desktop of its own with a session bus and AT-SPI, which the measured runs go without. One
    a process: the AT-SPI bindings stay with the first desktop's bus."""
    import e2e
    try:
        e2e.Session.setUpClass()
        session = e2e.Session()
        if settings:
            write_settings(session.desktop, settings)
        yield session
    finally:
        if hasattr(e2e.Session, "desktop"):
            e2e.Session.tearDownClass()


def start_traced(d) -> tuple:
    """Starts Sizewise behind an xtrace proxy display; returns the process, its main window and
    the trace's path. Everything else talks to the server directly, so the trace holds only
    Sizewise's traffic."""
    fake = next(n for n in random.sample(range(1000, 2000), 100) if not desktop.display_in_use(n))
    d.proxy_socket = f"/tmp/.X11-unix/X{fake}"
    trace_path = os.path.join(d.dir, "xtrace.txt")
    # The -w lines go to standard output only, so the trace is that rather than an -o file.
    with open(trace_path, "wb") as trace:
        d.spawn(["xtrace", "-n", "-k", "-w", "--monotonic-timestamps", "-d", d.display, "-D", f":{fake}"],
                "xtrace", stdout=trace)
    wait_until(lambda: os.path.exists(d.proxy_socket), 10, "the xtrace proxy to listen")
    # xtrace cannot pass file descriptors, which Qt's shared-memory images need.
    proc, main = start_sizewise(d, env=dict(d.env, DISPLAY=f":{fake}", QT_XCB_NO_MITSHM="1"))
    return proc, main, trace_path


def parse_trace(path, start, end) -> dict:
    """Counts requests, answered writes and poll clusters between start and end (monotonic s)."""
    requests = answers = bursts = round_trips = clusters = 0
    # Per connection: a client write seen whose first request is still to come, and whether the
    # write being followed has been answered (None when it lies outside the window).
    new_write, answered = {}, {}
    last_request_time = None
    with open(path, "r", errors="replace") as trace:
        for line in trace:
            received = RECEIVED.match(line)
            if received:
                new_write[received.group(1)] = True
                continue
            match = TRACE_LINE.match(line)
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


def cpu_nanoseconds(pid) -> int:
    """On-CPU time of all threads, from the scheduler's nanosecond accounting."""
    total = 0
    for task in os.listdir(f"/proc/{pid}/task"):
        try:
            with open(f"/proc/{pid}/task/{task}/schedstat") as f:
                total += int(f.read().split()[0])
        except (OSError, ValueError, IndexError):
            continue  # a thread that ended meanwhile
    return total


def status_kb(pid, field) -> int:
    with open(f"/proc/{pid}/status") as f:
        for line in f:
            if line.startswith(field + ":"):
                return int(line.split()[1])
    return -1
