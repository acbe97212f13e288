"""A private X desktop (Xvfb, openbox, tint2) and the functions that drive Sizewise end to end on it."""

import os
import random
import re
import select
import shutil
import signal
import subprocess
import tempfile
import time
import unittest
from typing import Callable, NamedTuple, Optional, TypeVar

_REPO = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
SIZEWISE = os.environ.get("SIZEWISE") or os.path.join(_REPO, "build", "sizewise")
TESTCLIENT = os.environ.get("TESTCLIENT") or os.path.join(
    _REPO, "build", "tests", "tools", "sizewise_testclient")

# Main window layout in client pixels, as `xdotool mousemove --window` counts them.
MAIN_WIDTH, MAIN_HEIGHT = 243, 86
DIMENSIONS = ("Left", "Top", "Right", "Bottom", "Width", "Height")
BUTTON_MINIMISE = (152 + 10, 58 + 10)
BUTTON_RESTORE = (172 + 10, 58 + 10)
BUTTON_MAXIMISE = (192 + 10, 58 + 10)
BUTTON_ORIGIN = (123 + 12, 58 + 10)
MENU_LABEL = (16, 8)
# A spot with no control under it: clicking it only gives Sizewise the focus.
NEUTRAL_SPOT = (230, 70)
# The display refreshes every 100 ms; waiting a little longer guarantees one full poll.
POLL_WAIT = 0.15

T = TypeVar("T")


def value_centre(index: int) -> tuple:
    return (40 * index + 20, 51)


def caption_centre(index: int) -> tuple:
    return (40 * index + 20, 38)


def entry_box(index: int) -> tuple:
    """Crop (x, y, w, h) of the text box that the entry panel shows for dimension index."""
    return (40 * index, 45, 41, 17)


class Rect(NamedTuple):
    x: int
    y: int
    w: int
    h: int

    @property
    def right(self) -> int:
        return self.x + self.w

    @property
    def bottom(self) -> int:
        return self.y + self.h


def wait_until(predicate: Callable[[], T], timeout: float = 5.0, interval: float = 0.02,
               what: str = "a condition") -> T:
    """Polls predicate until it returns something true and returns that; raises on timeout."""
    deadline = time.monotonic() + timeout
    while True:
        value = predicate()
        if value:
            return value
        if time.monotonic() >= deadline:
            raise AssertionError(f"timed out after {timeout} s waiting for {what}")
        time.sleep(interval)


def _read_line(stream, timeout: float) -> bytes:
    """One line from a pipe, or what arrived before the timeout or end of file."""
    deadline = time.monotonic() + timeout
    line = b""
    while not line.endswith(b"\n"):
        left = deadline - time.monotonic()
        if left <= 0 or not select.select([stream], [], [], left)[0]:
            break
        chunk = os.read(stream.fileno(), 1)
        if not chunk:
            break
        line += chunk
    return line


def _parse_window_id(text: str) -> Optional[int]:
    match = re.search(r"\b(0x[0-9a-fA-F]+|[0-9]+)\b", text)
    return int(match.group(1), 0) if match else None

def _display_in_use(number: int) -> bool:
    """Whether any X server may own display number, going by every trace one leaves."""
    if os.path.exists(f"/tmp/.X11-unix/X{number}") or os.path.exists(f"/tmp/.X{number}-lock"):
        return True
    # Another server can still hold the abstract socket while its files are gone, and
    # clients try the abstract socket first: they would end up on that server.
    try:
        with open("/proc/net/unix") as f:
            return f"@/tmp/.X11-unix/X{number}\n" in f.read()
    except OSError:
        return False


TINT2RC = """\
panel_items = S
panel_position = {position} right horizontal
panel_size = 60 30
panel_background_id = 0
systray_padding = 4 4 4
systray_icon_size = 22
"""


class Desktop:
    """One private X server with its window manager and tray, and the processes started on it."""

    def __init__(self, panel_position: str = "bottom"):
        self.dir = tempfile.mkdtemp(prefix="sizewise-e2e-")
        self.env = {k: v for k, v in os.environ.items()
                    if k not in ("DISPLAY", "WAYLAND_DISPLAY", "XAUTHORITY", "SESSION_MANAGER")}
        runtime = os.path.join(self.dir, "runtime")
        os.mkdir(runtime, 0o700)
        self.env.update(XDG_RUNTIME_DIR=runtime, QT_QPA_PLATFORM="xcb", XDG_SESSION_TYPE="x11")
        # Settings, caches and state of every program here stay inside this desktop.
        for name in ("CONFIG", "CACHE", "DATA", "STATE"):
            path = os.path.join(self.dir, name.lower())
            os.mkdir(path)
            self.env[f"XDG_{name}_HOME"] = path
        self.procs: list = []
        self.xvfb: Optional[subprocess.Popen] = None
        self.sizewise: Optional[subprocess.Popen] = None
        self.sizewise_err_path = os.path.join(self.dir, "sizewise.err")
        self.panel_position = panel_position
        self.display = ""

    # --- processes -----------------------------------------------------------------------

    def _spawn(self, args, name: str, **kwargs) -> subprocess.Popen:
        log = open(os.path.join(self.dir, name + ".log"), "wb")
        kwargs.setdefault("stdout", log)
        kwargs.setdefault("stderr", log)
        kwargs.setdefault("env", self.env)
        proc = subprocess.Popen(args, stdin=subprocess.DEVNULL, **kwargs)
        log.close()
        self.procs.append(proc)
        return proc

    def start(self) -> "Desktop":
        self._start_xvfb()
        self.env["DISPLAY"] = self.display

        # Right after it reports ready a loaded server can still refuse a first client now and
        # then; a client that got an answer shows it is really serving.
        wait_until(lambda: self.run(["xprop", "-root", "-len", "0"], check=False, ok=True),
                   timeout=30, what=f"Xvfb on {self.display} to answer")
        for attempt in range(3):
            openbox = self._spawn(["openbox"], "openbox")

            def managed() -> bool:
                if openbox.poll() is not None:
                    raise RuntimeError(f"openbox exited with {openbox.returncode} on "
                                       f"{self.display}: " + self.log_text("openbox"))
                return "window id" in self.run(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"],
                                               check=False)

            try:
                wait_until(managed, timeout=30, what="openbox to manage the screen")
                break
            except RuntimeError:
                self.procs.remove(openbox)
                if attempt == 2:
                    raise
            except AssertionError as e:
                raise AssertionError(f"{e} on {self.display}; openbox log: "
                                     + self.log_text("openbox")) from None

        rc = os.path.join(self.dir, "tint2rc")
        with open(rc, "w") as f:
            f.write(TINT2RC.format(position=self.panel_position))
        self._spawn(["tint2", "-c", rc], "tint2")
        wait_until(self.tray_window, timeout=30, what="the tint2 panel")
        return self

    def _start_xvfb(self) -> None:
        # Free numbers are picked here at random, not left to -displayfd, which starts at 0 and
        # takes a number whose lock file is gone even while another server still listens on it.
        attempts = []
        for number in random.sample(range(100, 1000), 40):
            if _display_in_use(number):
                continue
            read_end, write_end = os.pipe()
            self.xvfb = self._spawn(["Xvfb", f":{number}", "-displayfd", str(write_end), "-screen",
                                     "0", "1024x768x24", "-nolisten", "tcp", "-noreset"], "xvfb",
                                    pass_fds=(write_end,))
            os.close(write_end)
            with os.fdopen(read_end, "rb") as pipe:
                # -displayfd writes the number and a newline once the server accepts clients.
                reported = _read_line(pipe, 20).strip()
            log = self.log_text("xvfb")
            if reported == str(number).encode() and "already running" not in log:
                self.display = f":{number}"
                return
            attempts.append(f":{number}: {log.strip()[-300:]}")
            self.xvfb.kill()
            self.xvfb.wait()
            self.procs.remove(self.xvfb)
            if len(attempts) >= 5:
                break
        raise RuntimeError("Xvfb did not start: " + " | ".join(attempts))

    def stop(self) -> None:
        # Clients first, then the window manager, the X server last.
        for proc in reversed(self.procs):
            if proc.poll() is None:
                proc.terminate()
                try:
                    proc.wait(timeout=3)
                except subprocess.TimeoutExpired:
                    proc.kill()
                    proc.wait()
            if proc.stdout is not None:
                proc.stdout.close()
        shutil.rmtree(self.dir, ignore_errors=True)

    def log_text(self, name: str) -> str:
        try:
            with open(os.path.join(self.dir, name + ".log"), "rb") as f:
                return f.read().decode(errors="replace")
        except OSError:
            return ""

    def run(self, args, check: bool = True, timeout: float = 10, ok: bool = False):
        """Output of a command; with ok, whether it succeeded instead."""
        result = subprocess.run(args, env=self.env, stdin=subprocess.DEVNULL, capture_output=True,
                                timeout=timeout)
        if ok:
            return result.returncode == 0
        if check and result.returncode != 0:
            raise RuntimeError(f"{' '.join(map(str, args))} failed with {result.returncode}: "
                               + result.stderr.decode(errors="replace"))
        return result.stdout.decode(errors="replace")

    # --- windows --------------------------------------------------------------------------

    def xwininfo(self, window: int, *extra) -> dict:
        """The fields of `xwininfo -id`, by their label."""
        out = self.run(["xwininfo", *extra, "-id", str(window)])
        fields = {}
        for line in out.splitlines():
            key, sep, value = line.strip().partition(": ")
            if sep:
                fields[key] = value.strip()
        fields["_text"] = out
        return fields

    def exists(self, window: int) -> bool:
        result = subprocess.run(["xwininfo", "-id", str(window)], env=self.env,
                                stdin=subprocess.DEVNULL, capture_output=True, timeout=10)
        return result.returncode == 0

    def client_rect(self, window: int) -> Rect:
        info = self.xwininfo(window)
        return Rect(int(info["Absolute upper-left X"]), int(info["Absolute upper-left Y"]),
                    int(info["Width"]), int(info["Height"]))

    def parent(self, window: int) -> Optional[int]:
        """The parent window, or None when window is a child of the root."""
        out = self.run(["xwininfo", "-children", "-id", str(window)])
        match = re.search(r"Parent window id: (0x[0-9a-fA-F]+)(.*)", out)
        if not match or "(the root window)" in match.group(2):
            return None
        return int(match.group(1), 16)

    def frame(self, window: int) -> int:
        """The window manager's frame around a client, or the client itself if it has none."""
        return self.parent(window) or window

    def frame_rect(self, window: int) -> Rect:
        # xdotool and wmctrl mix frame and client co-ordinates; the frame's own geometry does not.
        return self.client_rect(self.frame(window))

    def is_viewable(self, window: int) -> bool:
        return self.xwininfo(window).get("Map State") == "IsViewable"

    def wm_state(self, window: int) -> str:
        """'Normal', 'Iconic', 'Withdrawn', or '' when WM_STATE is not set."""
        out = self.run(["xprop", "-id", str(window), "WM_STATE"], check=False)
        match = re.search(r"window state: (\w+)", out)
        return match.group(1) if match else ""

    def net_wm_state(self, window: int) -> set:
        out = self.run(["xprop", "-id", str(window), "_NET_WM_STATE"], check=False)
        _, _, atoms = out.partition("=")
        return {a.strip() for a in atoms.split(",") if a.strip()}

    def active_window(self) -> int:
        out = self.run(["xprop", "-root", "_NET_ACTIVE_WINDOW"], check=False)
        match = re.search(r"window id # (0x[0-9a-fA-F]+)", out)
        return int(match.group(1), 16) if match else 0

    def search(self, *args) -> list:
        out = self.run(["xdotool", "search", *args], check=False)
        return [int(line) for line in out.split()]

    def activate(self, window: int) -> None:
        """Makes window the foreground window long enough for Sizewise to take it as its target."""
        self.run(["xdotool", "windowactivate", "--sync", str(window)], timeout=10)
        wait_until(lambda: self.active_window() == window, timeout=5,
                   what=f"window {window:#x} to become active")
        # Sizewise keeps its last target while it has the focus itself, so a poll has to see this
        # window active before anything clicks into Sizewise.
        time.sleep(POLL_WAIT)

    def close_window(self, window: int) -> None:
        """Asks the window manager to close a window, as its close box does."""
        self.run(["wmctrl", "-i", "-c", hex(window)])

    def maximise(self, window: int) -> None:
        self.run(["wmctrl", "-i", "-r", hex(window), "-b", "add,maximized_vert,maximized_horz"])
        wait_until(lambda: {"_NET_WM_STATE_MAXIMIZED_VERT", "_NET_WM_STATE_MAXIMIZED_HORZ"}
                   <= self.net_wm_state(window), what="the window to be maximised")

    def capture(self, window: int, crop: tuple) -> bytes:
        """Pixels of a window region (x, y, w, h) as a PPM image."""
        x, y, w, h = crop
        return subprocess.run(["/usr/bin/import", "-window", str(window), "-crop",
                               f"{w}x{h}+{x}+{y}", "+repage", "ppm:-"], env=self.env,
                              stdin=subprocess.DEVNULL, capture_output=True, check=True,
                              timeout=10).stdout

    @staticmethod
    def distinct_colours(ppm: bytes) -> int:
        """How many colours a PPM image from capture() holds; 1 means a blank region."""
        header = ppm.split(b"\n", 3)
        depth = int(header[2])
        step = 6 if depth > 255 else 3
        pixels = header[3]
        return len({pixels[i:i + step] for i in range(0, len(pixels), step)})

    # --- input ----------------------------------------------------------------------------

    def click(self, window: int, x: int, y: int, button: int = 1) -> None:
        self.run(["xdotool", "mousemove", "--window", str(window), str(x), str(y),
                  "click", str(button)])

    def type_text(self, text: str) -> None:
        if text:
            self.run(["xdotool", "type", "--delay", "30", "--", text])

    def key(self, *keys: str) -> None:
        self.run(["xdotool", "key", "--delay", "30", *keys])

    # --- clients --------------------------------------------------------------------------

    def start_testclient(self, title: str = "Target", geometry: str = "640x400+200+150") -> int:
        """Starts the project's test client and returns its window once the frame is mapped."""
        if not os.access(TESTCLIENT, os.X_OK):
            raise AssertionError(f"test client not built: {TESTCLIENT}")
        proc = self._spawn([TESTCLIENT, "--title", title, "--geometry", geometry], "testclient",
                           stdout=subprocess.PIPE)
        line = _read_line(proc.stdout, 10).decode(errors="replace")
        window = _parse_window_id(line)
        if window is None:
            raise RuntimeError(f"test client printed no window id: {line!r}, "
                               + self.log_text("testclient"))
        proc.window = window
        self._wait_managed(window)
        return window

    def start_xterm(self, title: str, geometry: str = "80x24+200+150") -> int:
        self._spawn(["xterm", "-title", title, "-geometry", geometry], "xterm")
        pattern = "^" + re.escape(title) + "$"
        window = wait_until(lambda: (self.search("--name", pattern) or [None])[0], timeout=10,
                            what=f"xterm {title!r}")
        self._wait_managed(window)
        return window

    def _wait_managed(self, window: int) -> None:
        wait_until(lambda: self.parent(window) is not None and self.is_viewable(window)
                   and self.wm_state(window) == "Normal", timeout=10,
                   what=f"window {window:#x} to be framed and mapped")

    def process_of(self, window: int) -> Optional[subprocess.Popen]:
        for proc in self.procs:
            if getattr(proc, "window", None) == window:
                return proc
        return None

    # --- Sizewise ---------------------------------------------------------------------------

    def start_sizewise(self, *args, env: Optional[dict] = None) -> int:
        """Starts Sizewise and returns its main window once it is shown.

        env changes the environment of Sizewise alone; a value of None removes the variable."""
        if not os.access(SIZEWISE, os.X_OK):
            raise AssertionError(f"sizewise not built: {SIZEWISE}")
        child_env = dict(self.env)
        for name, value in (env or {}).items():
            if value is None:
                child_env.pop(name, None)
            else:
                child_env[name] = value
        err = open(self.sizewise_err_path, "wb")
        self.sizewise = self._spawn([SIZEWISE, *args], "sizewise", stderr=err, env=child_env)
        err.close()
        return wait_until(self._find_main_window, timeout=15, what="the Sizewise main window")

    def _find_main_window(self) -> Optional[int]:
        if self.sizewise is not None and self.sizewise.poll() is not None:
            raise AssertionError(f"sizewise exited with {self.sizewise.returncode}: "
                                 + self.sizewise_stderr())
        candidates = self.search("--classname", "^sizewise$") + self.search("--name", "^Sizewise$")
        for window in dict.fromkeys(candidates):
            try:
                info = self.xwininfo(window)
                if (info.get("Map State") == "IsViewable" and int(info["Width"]) == MAIN_WIDTH
                        and int(info["Height"]) == MAIN_HEIGHT
                        and self.parent(window) is not None):
                    return window
            except (RuntimeError, KeyError, ValueError):
                continue  # vanished between the search and the query
        return None

    def sizewise_stderr(self) -> str:
        with open(self.sizewise_err_path, "rb") as f:
            return f.read().decode(errors="replace")

    def wait_sizewise_exit(self, timeout: float = 10) -> int:
        return self.sizewise.wait(timeout=timeout)

    def focus_sizewise(self, main: int) -> None:
        """Gives Sizewise the focus after the target was activated, then lets one poll pass."""
        self.click(main, *NEUTRAL_SPOT)
        time.sleep(POLL_WAIT)

    def edit_dimension(self, main: int, index: int, text: str, final_key: str = "Return") -> None:
        self.click(main, *value_centre(index))
        time.sleep(0.1)
        if text:
            self.type_text(text)
        else:
            self.key("BackSpace")
        self.key(final_key)

    # --- tray -----------------------------------------------------------------------------

    def tray_window(self) -> Optional[int]:
        """tint2's panel window."""
        for window in self.search("--classname", "^tint2$"):
            if self.exists(window):
                return window
        return None

    def tray_icon(self) -> Optional[int]:
        """Sizewise's icon window inside tint2's systray, once it is embedded and mapped."""
        panel = self.tray_window()
        if panel is None:
            return None
        out = self.run(["xwininfo", "-tree", "-id", str(panel)], check=False)
        # Embedded icons appear as `0x... "name": ("instance" "class")  22x22+0+0  +X+Y`.
        for match in re.finditer(r'(0x[0-9a-fA-F]+) [^\n]*\("([^"]*)" "([^"]*)"\)', out):
            if "sizewise" in (match.group(2) + match.group(3)).lower():
                window = int(match.group(1), 16)
                if self.is_viewable(window):
                    return window
        return None

    def click_tray_icon(self, button: int = 1) -> int:
        icon = wait_until(self.tray_icon, timeout=10, what="the Sizewise tray icon")
        width = int(self.xwininfo(icon)["Width"])
        self.click(icon, width // 2, width // 2, button)
        return icon


class DesktopTest(unittest.TestCase):
    """Each test gets its own desktop; failures show what Sizewise printed."""

    panel_position = "bottom"

    def setUp(self) -> None:
        self.desktop = Desktop(self.panel_position)
        # Registered before starting, so a desktop that fails half-way is still torn down.
        self.addCleanup(self._teardown)
        self.desktop.start()

    def _teardown(self) -> None:
        self.desktop.stop()

    def start_sizewise(self) -> int:
        return self.desktop.start_sizewise()

    def watch(self, target: Optional[int] = None, focus: bool = True) -> None:
        """Starts Sizewise with target (a new test client when None) as the active window and,
        when focus, clicks into Sizewise; sets self.target, self.main and self.before."""
        d = self.desktop
        self.target = d.start_testclient("Target window", "640x400+200+150") if target is None else target
        self.main = self.start_sizewise()
        d.activate(self.target)
        if focus:
            d.focus_sizewise(self.main)
        else:
            time.sleep(POLL_WAIT)
        self.before = d.frame_rect(self.target)

    def assert_sizewise_running(self) -> None:
        proc = self.desktop.sizewise
        self.assertIsNone(proc.poll(), f"sizewise exited with {proc.returncode}: "
                          + self.desktop.sizewise_stderr())

    def assert_exits_cleanly(self, timeout: float = 10) -> None:
        try:
            status = self.desktop.wait_sizewise_exit(timeout)
        except subprocess.TimeoutExpired:
            self.fail(f"sizewise still running after {timeout} s")
        self.assertEqual(status, 0, "exit status; stderr: " + self.desktop.sizewise_stderr())

    def send_signal(self, sig: signal.Signals) -> None:
        self.desktop.sizewise.send_signal(sig)

    def assert_frame_becomes(self, window: int, expected: Rect, timeout: float = 3) -> None:
        try:
            wait_until(lambda: self.desktop.frame_rect(window) == expected, timeout=timeout,
                       what=f"frame {expected}")
        except AssertionError:
            self.assertEqual(self.desktop.frame_rect(window), expected)

    def assert_frame_stays(self, window: int, expected: Rect, duration: float = 0.5) -> None:
        """Watches for longer than a few polls: a wrong move would have happened by then."""
        deadline = time.monotonic() + duration
        while time.monotonic() < deadline:
            self.assertEqual(self.desktop.frame_rect(window), expected)
            time.sleep(0.05)
