"""A private X desktop (Xvfb, openbox, tint2) and the functions that drive Sizewise end to end on it."""

import math
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
from fractions import Fraction
from typing import Callable, NamedTuple, Optional, TypeVar

_REPO = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
SIZEWISE = os.environ.get("SIZEWISE") or os.path.join(_REPO, "build", "sizewise")
TESTCLIENT = os.environ.get("TESTCLIENT") or os.path.join(
    _REPO, "build", "tests", "tools", "sizewise_testclient")

SCREEN_W, SCREEN_H = 1024, 768
TWIPS = 15  # per pixel at Xvfb's 96 DPI

# Main window layout in client pixels, as `xdotool mousemove --window` counts them.
MAIN_WIDTH = 243
MAIN_HEIGHT_FOLDED = 86


def main_height_with_layout(screen_w: int = SCREEN_W, screen_h: int = SCREEN_H) -> int:
    """The main window's client height with the layout view shown: it takes the screen's shape."""
    return round((1320 + Fraction(screen_h, screen_w) * 1575 + 120) / TWIPS)


MAIN_HEIGHT_LAYOUT = main_height_with_layout()
MAIN_HEIGHTS = (MAIN_HEIGHT_FOLDED, MAIN_HEIGHT_LAYOUT)
# The about window, which is also the start-up splash: the main window maps once it has closed,
# three seconds after start.
ABOUT_SIZE = (504, 234)
DIMENSIONS = ("Left", "Top", "Right", "Bottom", "Width", "Height")
BUTTON_MINIMISE = (152 + 10, 58 + 10)
BUTTON_RESTORE = (172 + 10, 58 + 10)
BUTTON_MAXIMISE = (192 + 10, 58 + 10)
BUTTON_ORIGIN = (123 + 12, 58 + 10)
MENU_LABEL = (16, 8)
LAYOUT_CHECK = (230, 68)
RULERS_CHECK = (52, 8)
# A spot with no control under it: clicking it only gives Sizewise the focus.
NEUTRAL_SPOT = (60, 70)
# The display refreshes every 100 ms; waiting a little longer guarantees one full poll.
POLL_WAIT = 0.15

T = TypeVar("T")

# The layout view draws the screen scaled into its inner area, in units of twips.
VIEW_INNER_X, VIEW_INNER_Y, VIEW_INNER_W, VIEW_INNER_H = 137, 89, 103, 77
VIEW_W, VIEW_H = VIEW_INNER_W * TWIPS, VIEW_INNER_H * TWIPS

# Preset editor, in its own client pixels.
EDITOR_TITLE = "Presets"
EDITOR_WIDTH, EDITOR_HEIGHT = 136, 277
EDITOR_CANCEL = (16 + 24, 232 + 12)
EDITOR_OK = (72 + 24, 232 + 12)
DEFAULT_PRESETS = ((640, 480), (800, 600), (1024, 768), (1152, 864), (1280, 1024))

# The settings file's [Config] keys, in the order they are written.
SETTINGS_KEYS = ("ShowLayout", "Hidden", "WindowTop", "WindowLeft",
                 *(key for i in range(10) for key in (f"PresetWidth_{i}", f"gPresetHeight_{i}")),
                 "ShowRuler")


def value_centre(index: int) -> tuple:
    return (40 * index + 20, 51)


def caption_centre(index: int) -> tuple:
    return (40 * index + 20, 38)


def preset_button(index: int) -> tuple:
    return (80 + 16 * index + 6, 3 + 6)


def editor_width_box(index: int) -> tuple:
    return (24 + 16, 56 + 16 * index + 8)


def editor_height_box(index: int) -> tuple:
    return (80 + 16, 56 + 16 * index + 8)


def entry_box(index: int) -> tuple:
    """Crop (x, y, w, h) of the text box that the entry panel shows for dimension index: the part
    over the value label, above the title marquee, whose scrolling would change the picture."""
    return (40 * index, 45, 41, 13)


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


def view_units(frame: Rect, screen_w: int = SCREEN_W, screen_h: int = SCREEN_H) -> tuple:
    """A frame in the layout view's units, rounded half to even as the view rounds them."""
    return (round(Fraction(frame.x * VIEW_W, screen_w)), round(Fraction(frame.y * VIEW_H, screen_h)),
            round(Fraction(frame.w * VIEW_W, screen_w)), round(Fraction(frame.h * VIEW_H, screen_h)))


def image_rect(frame: Rect) -> Rect:
    """Where the layout view shows a target with this frame, in the main window's client pixels."""
    left, top, width, height = (round(Fraction(u, TWIPS)) for u in view_units(frame))
    return Rect(VIEW_INNER_X + left, VIEW_INNER_Y + top, width, height)


def dragged_frame(frame: Rect, dx: int, dy: int) -> Rect:
    """The frame after its image in the layout view was dragged by dx, dy pixels."""
    left, top, _, _ = view_units(frame)
    return Rect(math.floor(Fraction((left + TWIPS * dx) * SCREEN_W, VIEW_W)),
                math.floor(Fraction((top + TWIPS * dy) * SCREEN_H, VIEW_H)), frame.w, frame.h)


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


def _ppm_pixels(ppm: bytes) -> tuple:
    """Width, height and the list of pixels of a binary PPM image."""
    _, size, depth, data = ppm.split(b"\n", 3)
    width, height = map(int, size.split())
    step = 6 if int(depth) > 255 else 3
    return width, height, [data[i:i + step] for i in range(0, width * height * step, step)]


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


# How each window manager is started; "none" runs the desktop without one.
WINDOW_MANAGERS = {
    "none": None,
    "openbox": ["openbox", "--sm-disable"],
    "xfwm4": ["xfwm4", "--compositor=on", "--sm-client-disable"],
    "metacity": ["metacity", "--replace"],
}


class _XDisplay:
    """A short Xlib connection (through ctypes) for what no command-line tool tells: whether a
    window manager frames new windows and whether a compositor runs."""

    def __init__(self, display: str):
        import ctypes
        self.ct = ctypes
        self.x = ctypes.CDLL("libX11.so.6")
        self.x.XOpenDisplay.restype = ctypes.c_void_p
        self.x.XOpenDisplay.argtypes = [ctypes.c_char_p]
        for name in ("XDefaultRootWindow", "XInternAtom", "XGetSelectionOwner",
                     "XCreateSimpleWindow"):
            getattr(self.x, name).restype = ctypes.c_ulong
        self.x.XDefaultRootWindow.argtypes = [ctypes.c_void_p]
        self.x.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
        self.x.XGetSelectionOwner.argtypes = [ctypes.c_void_p, ctypes.c_ulong]
        self.x.XCreateSimpleWindow.argtypes = [ctypes.c_void_p, ctypes.c_ulong] + [ctypes.c_int] * 2 \
            + [ctypes.c_uint] * 3 + [ctypes.c_ulong] * 2
        self.x.XQueryTree.argtypes = [ctypes.c_void_p, ctypes.c_ulong] + [ctypes.c_void_p] * 4
        for name in ("XMapWindow", "XDestroyWindow"):
            getattr(self.x, name).argtypes = [ctypes.c_void_p, ctypes.c_ulong]
        self.x.XSync.argtypes = [ctypes.c_void_p, ctypes.c_int]
        self.x.XFree.argtypes = [ctypes.c_void_p]
        self.x.XCloseDisplay.argtypes = [ctypes.c_void_p]
        self.display_name = display
        self.dpy = self.x.XOpenDisplay(display.encode())
        if not self.dpy:
            raise RuntimeError(f"cannot open {display}")
        self.root = self.x.XDefaultRootWindow(self.dpy)

    def __enter__(self) -> "_XDisplay":
        return self

    def __exit__(self, *exc) -> None:
        self.x.XCloseDisplay(self.dpy)

    def managing(self) -> bool:
        return "window id" in subprocess.run(
            ["xprop", "-display", self.display_name, "-root", "_NET_SUPPORTING_WM_CHECK"],
            capture_output=True, text=True).stdout

    def compositing(self) -> bool:
        atom = self.x.XInternAtom(self.dpy, b"_NET_WM_CM_S0", 0)
        return self.x.XGetSelectionOwner(self.dpy, atom) != 0

    def frames_probe(self) -> bool:
        ct = self.ct
        probe = self.x.XCreateSimpleWindow(self.dpy, self.root, 0, 0, 10, 10, 0, 0, 0)
        self.x.XMapWindow(self.dpy, probe)
        self.x.XSync(self.dpy, 0)
        framed = False
        deadline = time.monotonic() + 0.3
        while not framed and time.monotonic() < deadline:
            root, parent, children = ct.c_ulong(), ct.c_ulong(), ct.c_void_p()
            count = ct.c_uint()
            if self.x.XQueryTree(self.dpy, probe, ct.byref(root), ct.byref(parent),
                                 ct.byref(children), ct.byref(count)):
                if children:
                    self.x.XFree(children)
                framed = parent.value not in (0, self.root)
            time.sleep(0.02)
        self.x.XDestroyWindow(self.dpy, probe)
        self.x.XSync(self.dpy, 0)
        return framed


class Desktop:
    """One private X server with its window manager and tray, and the processes started on it.

    Without tray there is no tint2, so no notification area at all."""

    def __init__(self, panel_position: str = "bottom", tray: bool = True, wm: str = "openbox"):
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
        self.tray = tray
        self.wm_name = wm
        self.wm: Optional[subprocess.Popen] = None
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
        self.start_window_manager(self.wm_name)
        if not self.tray:
            return self
        rc = os.path.join(self.dir, "tint2rc")
        with open(rc, "w") as f:
            f.write(TINT2RC.format(position=self.panel_position))
        self._spawn(["tint2", "-c", rc], "tint2")
        wait_until(self.tray_window, timeout=30, what="the tint2 panel")
        return self

    def start_window_manager(self, name: str) -> None:
        """Starts openbox, xfwm4 (compositing), metacity or none ("none") and returns once it
        frames new windows and, for the compositing ones, owns the compositing selection."""
        if name not in WINDOW_MANAGERS:
            raise ValueError(f"unknown window manager {name!r}")
        self.wm_name = name
        if name == "none":
            return
        if name == "xfwm4":
            # xfwm4 reads its settings through xfconf, which needs a session bus.
            self.start_session_bus()
        for attempt in range(3):
            self.wm = self._spawn(WINDOW_MANAGERS[name], name)
            try:
                wait_until(lambda: self._wm_ready(name), timeout=30, what=f"{name} to manage")
                return
            except RuntimeError:
                self.procs.remove(self.wm)
                if attempt == 2:
                    raise
            except AssertionError as e:
                raise AssertionError(f"{e} on {self.display}; log: " + self.log_text(name)) from None

    def start_session_bus(self) -> None:
        """A D-Bus session bus of the desktop's own, which keeps the user's settings out."""
        if "DBUS_SESSION_BUS_ADDRESS" in self.env:
            return
        bus = self._spawn(["dbus-daemon", "--session", "--nofork", "--print-address=1"], "dbus",
                          stdout=subprocess.PIPE)
        self.env["DBUS_SESSION_BUS_ADDRESS"] = _read_line(bus.stdout, 10).decode().strip()

    def start_accessibility(self) -> None:
        """Lets the tests read what Sizewise shows, exactly, as a screen reader does: Sizewise
        started after this publishes its widgets over AT-SPI (see shown_labels)."""
        self.start_session_bus()
        self._spawn(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"], "atspi")
        self.env["QT_LINUX_ACCESSIBILITY_ALWAYS_ON"] = "1"

    def shown_labels(self) -> list:
        """The texts of Sizewise's labels, in the order of its widgets; [] until it is reachable."""
        code = ("import pyatspi\n"
                "def walk(n):\n"
                "    if n.getRoleName() == 'label': print(repr(n.name))\n"
                "    for i in range(n.childCount): walk(n.getChildAtIndex(i))\n"
                "for app in pyatspi.Registry.getDesktop(0):\n"
                "    if app is not None and app.name == 'Sizewise': walk(app)\n")
        # The system interpreter: that is where the AT-SPI bindings are installed.
        out = self.run(["/usr/bin/python3", "-c", code], check=False, timeout=30)
        return [eval(line) for line in out.splitlines() if line.startswith(("'", '"'))]

    def _wm_ready(self, name: str) -> bool:
        if self.wm.poll() is not None:
            raise RuntimeError(f"{name} exited with {self.wm.returncode}: " + self.log_text(name))
        with _XDisplay(self.display) as x:
            # openbox sets its check window before it is ready and drops a map request that
            # comes in between, so a probe window must really be framed.
            return x.managing() and (name == "openbox" or x.compositing()) and x.frames_probe()

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
        if self.xvfb is not None and self.xvfb.returncode == -signal.SIGKILL and self.display:
            # A killed server leaves its lock and socket behind, which would mark the number taken.
            number = self.display[1:]
            for path in (f"/tmp/.X{number}-lock", f"/tmp/.X11-unix/X{number}"):
                try:
                    os.unlink(path)
                except OSError:
                    pass
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

    def outer_rect(self, window: int) -> Rect:
        """The client plus its _NET_FRAME_EXTENTS: the visible frame on every window manager
        here (metacity's frame window also holds invisible resize borders)."""
        c = self.client_rect(window)
        out = self.run(["xprop", "-id", str(window), "_NET_FRAME_EXTENTS"], check=False)
        numbers = [int(n) for n in re.findall(r"-?\d+", out.partition("=")[2])]
        left, right, top, bottom = numbers if len(numbers) == 4 else (0, 0, 0, 0)
        return Rect(c.x - left, c.y - top, c.w + left + right, c.h + top + bottom)

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
        return len(set(_ppm_pixels(ppm)[2]))

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

    def spawn_sizewise(self, *args, env: Optional[dict] = None,
                       name: str = "sizewise") -> subprocess.Popen:
        """Starts a Sizewise process, its standard error going to name.err, and returns it.

        env changes the environment of Sizewise alone; a value of None removes the variable."""
        if not os.access(SIZEWISE, os.X_OK):
            raise AssertionError(f"sizewise not built: {SIZEWISE}")
        child_env = dict(self.env)
        for key, value in (env or {}).items():
            if value is None:
                child_env.pop(key, None)
            else:
                child_env[key] = value
        err = open(os.path.join(self.dir, name + ".err"), "wb")
        proc = self._spawn([SIZEWISE, *args], name, stderr=err, env=child_env)
        err.close()
        return proc

    def start_sizewise(self, *args, env: Optional[dict] = None, shown: bool = True) -> Optional[int]:
        """Starts Sizewise and returns its main window once it is shown; with shown False it
        returns None at once (a hidden start maps no main window)."""
        self.sizewise = self.spawn_sizewise(*args, env=env)
        if not shown:
            return None
        return wait_until(self._find_main_window, timeout=15, what="the Sizewise main window")

    def _find_main_window(self) -> Optional[int]:
        if self.sizewise is not None and self.sizewise.poll() is not None:
            raise AssertionError(f"sizewise exited with {self.sizewise.returncode}: "
                                 + self.sizewise_stderr())
        return self.main_window()

    def main_window(self, mapped: bool = True) -> Optional[int]:
        """The Sizewise window of the main window's size, framed and viewable when mapped."""
        candidates = self.search("--classname", "^sizewise$") + self.search("--name", "^Sizewise$")
        for window in dict.fromkeys(candidates):
            try:
                info = self.xwininfo(window)
                if (int(info["Width"]) == MAIN_WIDTH and int(info["Height"]) in MAIN_HEIGHTS
                        and (not mapped or (info.get("Map State") == "IsViewable"
                                            and self.parent(window) is not None))):
                    return window
            except (RuntimeError, KeyError, ValueError):
                continue  # vanished between the search and the query
        return None

    def about_window(self) -> Optional[int]:
        """The about window (or start-up splash) while it is mapped."""
        for window in self.search("--onlyvisible", "--classname", "^sizewise$"):
            try:
                info = self.xwininfo(window)
                if ((int(info["Width"]), int(info["Height"])) == ABOUT_SIZE
                        and info.get("Map State") == "IsViewable"):
                    return window
            except (RuntimeError, KeyError, ValueError):
                continue  # vanished between the search and the query
        return None

    def wait_splash_over(self) -> None:
        """Waits for the start-up splash to show and to close again."""
        wait_until(self.about_window, timeout=10, what="the splash")
        wait_until(lambda: self.about_window() is None, timeout=10, what="the splash to close")

    def popup_menu(self) -> Optional[int]:
        """A mapped override-redirect Sizewise window on the root that is not a tool tip."""
        for window in self.search("--onlyvisible", "--classname", "^sizewise$"):
            if not self.exists(window) or self.parent(window) is not None:
                continue
            info = self.xwininfo(window)
            kind = self.run(["xprop", "-id", str(window), "_NET_WM_WINDOW_TYPE"], check=False)
            if (info.get("Map State") == "IsViewable"
                    and info.get("Override Redirect State") == "yes" and "TOOLTIP" not in kind):
                return window
        return None

    def open_menu(self, main: int) -> int:
        """Opens the pop-up menu from the main window's Menu label and returns it."""
        self.click(main, *MENU_LABEL)
        return wait_until(self.popup_menu, timeout=3, what="the pop-up menu")

    def menu_exit(self, main: int) -> None:
        self.open_menu(main)
        self.key("x")

    def preset_editor(self) -> Optional[int]:
        for window in self.search("--onlyvisible", "--name", f"^{EDITOR_TITLE}$"):
            if self.exists(window) and self.is_viewable(window):
                return window
        return None

    def open_preset_editor(self, main: int) -> int:
        """Opens the preset editor by the menu's Options, Edit Presets and returns it."""
        self.open_menu(main)
        self.key("o", "p")
        return wait_until(self.preset_editor, timeout=3, what="the preset editor")

    def fill(self, window: int, box: tuple, text: str, select: bool = False) -> None:
        """Clicks a text box and types text, which replaces the box's text; '' empties it.
        With select, selects the box's text by keyboard first instead of relying on the click."""
        self.click(window, *box)
        if select:
            self.key("ctrl+a")
        if text:
            self.type_text(text)
        else:
            self.key("ctrl+a", "BackSpace")

    def image_in_view(self, main: int) -> Optional[Rect]:
        """The target's image in the layout view, found as the pixels unlike the view's ground,
        in main window client pixels; None when the view shows no image."""
        crop = (VIEW_INNER_X, VIEW_INNER_Y, VIEW_INNER_W, VIEW_INNER_H)
        width, height, pixels = _ppm_pixels(self.capture(main, crop))
        counts: dict = {}
        for colour in pixels:
            counts[colour] = counts.get(colour, 0) + 1
        ground = max(counts, key=counts.get)
        xs, ys = [], []
        for i, colour in enumerate(pixels):
            if colour != ground:
                xs.append(i % width)
                ys.append(i // width)
        if not xs:
            return None
        return Rect(VIEW_INNER_X + min(xs), VIEW_INNER_Y + min(ys),
                    max(xs) - min(xs) + 1, max(ys) - min(ys) + 1)

    def drag(self, window: int, start: tuple, offset: tuple, steps: int = 10,
             release: bool = True, pause: float = 0.02) -> None:
        """Presses the left button at start and moves the pointer by offset in even steps."""
        x0, y0 = start
        dx, dy = offset
        args = ["xdotool", "mousemove", "--window", str(window), str(x0), str(y0), "mousedown", "1"]
        for step in range(1, steps + 1):
            args += ["sleep", str(pause), "mousemove", "--window", str(window),
                     str(x0 + round(dx * step / steps)), str(y0 + round(dy * step / steps))]
        if release:
            args += ["sleep", str(pause), "mouseup", "1"]
        self.run(args, timeout=30)

    # --- settings -------------------------------------------------------------------------

    @property
    def settings_path(self) -> str:
        return os.path.join(self.env["XDG_CONFIG_HOME"], "Sizewise", "Sizewise.conf")

    def write_settings(self, text: str) -> None:
        os.makedirs(os.path.dirname(self.settings_path), exist_ok=True)
        with open(self.settings_path, "w") as f:
            f.write(text)

    def read_settings(self) -> dict:
        """The settings file as {section: [(key, value), ...]} in file order; {} when missing."""
        sections: dict = {}
        try:
            with open(self.settings_path, errors="replace") as f:
                lines = f.read().splitlines()
        except FileNotFoundError:
            return {}
        entries = sections.setdefault("", [])
        for line in lines:
            line = line.strip()
            if line.startswith("[") and line.endswith("]"):
                entries = sections.setdefault(line[1:-1], [])
            elif "=" in line:
                key, _, value = line.partition("=")
                entries.append((key.strip(), value.strip()))
        return sections

    def config(self) -> dict:
        """The [Config] section of the settings file as a dict."""
        return dict(self.read_settings().get("Config", []))

    def sizewise_stderr(self, name: str = "sizewise") -> str:
        with open(os.path.join(self.dir, name + ".err"), "rb") as f:
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
    tray = True
    wm = "openbox"

    def setUp(self) -> None:
        self.desktop = Desktop(self.panel_position, self.tray, self.wm)
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

    def open_entry_panel(self, index: int = 0) -> tuple:
        """Clicks a value and waits for the entry panel over it; returns the panel's text box and
        how that place looked with the panel closed."""
        d = self.desktop
        box = entry_box(index)
        closed = d.capture(self.main, box)
        d.click(self.main, *value_centre(index))
        wait_until(lambda: d.capture(self.main, box) != closed, timeout=3,
                   what="the entry panel to open")
        return box, closed

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

    def assert_settings_sound(self) -> dict:
        """Every [Config] key is in the settings file, each with a value the program could have
        meant; returns the section as a dict."""
        config = self.desktop.config()
        self.assertEqual(sorted(k for k in config if k in SETTINGS_KEYS), sorted(SETTINGS_KEYS),
                         "keys in the settings file")
        for key in SETTINGS_KEYS:
            if key in ("ShowLayout", "Hidden", "ShowRuler"):
                self.assertIn(config[key], ("True", "False"), key)
            else:
                self.assertRegex(config[key], r"^-?[0-9]+$", key)
        return config

    def assert_frame_stays(self, window: int, expected: Rect, duration: float = 0.5) -> None:
        """Watches for longer than a few polls: a wrong move would have happened by then."""
        deadline = time.monotonic() + duration
        while time.monotonic() < deadline:
            self.assertEqual(self.desktop.frame_rect(window), expected)
            time.sleep(0.05)


def serve(wm: str, tray: bool) -> int:
    """Keeps a desktop for another test program (the X11 backend tests): prints "display :N" once
    it is up, then takes commands on standard input, one a line, each answered with one line:
    "wm NAME" starts a window manager ("wm PID"), "kill SIGNAL" ends it ("killed"). The desktop
    is torn down when standard input closes or a SIGTERM comes."""
    import sys
    desktop = Desktop(tray=tray, wm="none")

    def finish(*_) -> None:
        desktop.stop()
        os._exit(0)

    signal.signal(signal.SIGTERM, finish)
    try:
        desktop.start()
        desktop.start_window_manager(wm)
    except Exception as e:  # reported to the caller, which fails the test with it
        print(f"error {e}".replace("\n", " "), flush=True)
        finish()
    print(f"display {desktop.display}", flush=True)
    for line in iter(sys.stdin.readline, ""):
        command, _, argument = line.strip().partition(" ")
        try:
            if command == "wm":
                desktop.start_window_manager(argument)
                print(f"wm {desktop.wm.pid if desktop.wm else 0}", flush=True)
            elif command == "kill" and desktop.wm is not None:
                desktop.wm.send_signal(int(argument))
                desktop.wm.wait(timeout=10)
                print("killed", flush=True)
            else:
                print(f"error unknown command {line.strip()!r}", flush=True)
        except Exception as e:
            print(f"error {e}".replace("\n", " "), flush=True)
    finish()
    return 0


if __name__ == "__main__":
    import argparse
    parser = argparse.ArgumentParser(description="The private desktop the tests run on.")
    sub = parser.add_subparsers(dest="command", required=True)
    serve_parser = sub.add_parser("serve", help=serve.__doc__.split(":")[0])
    serve_parser.add_argument("--wm", default="none", choices=sorted(WINDOW_MANAGERS))
    serve_parser.add_argument("--tray", action="store_true")
    arguments = parser.parse_args()
    raise SystemExit(serve(arguments.wm, arguments.tray))
