"""A private X desktop for the program's run without a display, its benchmarks and its tests: a fresh Xvfb on a free display, a window manager (openbox,
xfwm4 with its compositor, metacity or none), or a real X server with the dummy driver and two
monitors side by side (1280 x 1024 at 0,256 and 1024 x 768 at 1280,0: the desktop's origin lies on
neither), a tint2 panel with a notification area, and on
request a session bus with AT-SPI. As a command it runs a program on such a desktop and exits with
its status: desktop.py [--wm openbox] [--no-tray] -- PROGRAM ARGS..."""

import argparse
import ctypes
import os
import random
import select
import shutil
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
WINDOW_MANAGERS = {"none": None, "openbox": ["openbox", "--sm-disable"], "metacity": ["metacity", "--replace"],
                   "xfwm4": ["xfwm4", "--compositor=on", "--sm-client-disable"]}


def wait_until(predicate, timeout=5.0, what="a condition"):
    """Polls predicate every 20 ms until it gives something true, and returns that."""
    deadline = time.monotonic() + timeout
    while not (value := predicate()):
        if time.monotonic() >= deadline:
            raise AssertionError(f"timed out after {timeout} s waiting for {what}")
        time.sleep(0.02)
    return value


def read_line(stream, timeout):
    """One line from a pipe, or what came before the timeout or its end."""
    deadline, line = time.monotonic() + timeout, b""
    while not line.endswith(b"\n") and select.select([stream], [], [], max(0, deadline - time.monotonic()))[0]:
        if not (chunk := os.read(stream.fileno(), 1)):
            break
        line += chunk
    return line


def display_in_use(number):
    """By every trace a server leaves: its files, and the abstract socket clients try first."""
    if os.path.exists(f"/tmp/.X11-unix/X{number}") or os.path.exists(f"/tmp/.X{number}-lock"):
        return True
    with open("/proc/net/unix") as f:
        return f"@/tmp/.X11-unix/X{number}\n" in f.read()


class Desktop:
    def __init__(self, wm="openbox", tray=True, accessibility=False, two_monitors=False):
        self.wm_name, self.tray, self.accessibility, self.two_monitors = wm, tray, accessibility, two_monitors
        self.dir, self.procs, self.display = tempfile.mkdtemp(prefix="sizewise-desktop-"), [], ""
        self.env = {k: v for k, v in os.environ.items() if k not in (
            "DISPLAY", "WAYLAND_DISPLAY", "XAUTHORITY", "SESSION_MANAGER", "DBUS_SESSION_BUS_ADDRESS")}
        self.env.update(QT_QPA_PLATFORM="xcb", XDG_SESSION_TYPE="x11")
        # Settings, caches and state of every program here stay inside this desktop.
        for name in ("RUNTIME_DIR", "CONFIG_HOME", "CACHE_HOME", "DATA_HOME", "STATE_HOME"):
            self.env["XDG_" + name] = os.path.join(self.dir, name.lower())
            os.mkdir(self.env["XDG_" + name], 0o700)

    def __enter__(self):
        try:
            return self.start()
        except BaseException:
            self.stop()
            raise

    def __exit__(self, *exc):
        self.stop()

    def spawn(self, args, name, env=None, **kwargs):
        with open(os.path.join(self.dir, name + ".log"), "ab") as log:
            kwargs.setdefault("stdout", log)
            self.procs.append(subprocess.Popen(args, stdin=subprocess.DEVNULL, stderr=log, env=env or self.env,
                                               **kwargs))
        return self.procs[-1]

    def log(self, name):
        path = os.path.join(self.dir, name + ".log")
        return open(path, "rb").read().decode(errors="replace") if os.path.exists(path) else ""

    def run(self, args, timeout=10):
        """What a command printed; raises when it fails."""
        r = subprocess.run(args, env=self.env, stdin=subprocess.DEVNULL, capture_output=True, timeout=timeout)
        if r.returncode != 0:
            raise RuntimeError(f"{' '.join(map(str, args))}: {r.returncode} {r.stderr.decode(errors='replace')}")
        return r.stdout.decode(errors="replace")

    def start(self):
        self._start_server()
        if self.two_monitors:
            self.run(["xrandr", "--newmode", "1024x768_60", "63.50", "1024", "1072", "1176", "1328", "768", "771",
                      "775", "798", "-hsync", "+vsync"])
            self.run(["xrandr", "--addmode", "DUMMY1", "1024x768_60"])
            self.run(["xrandr", "--fb", "2304x1280", "--output", "DUMMY0", "--mode", "1280x1024", "--pos", "0x256",
                      "--output", "DUMMY1", "--mode", "1024x768_60", "--pos", "1280x0"])
        # A loaded server can refuse a first client right after it says it is ready.
        wait_until(lambda: subprocess.run(["xprop", "-root", "-len", "0"], env=self.env,
                                          capture_output=True).returncode == 0, 30, "Xvfb to answer")
        if self.accessibility or self.wm_name == "xfwm4":  # xfwm4 reads its settings over the bus
            bus = self.spawn(["dbus-daemon", "--session", "--nofork", "--print-address=1"], "dbus",
                             stdout=subprocess.PIPE)
            self.env["DBUS_SESSION_BUS_ADDRESS"] = read_line(bus.stdout, 10).decode().strip()
        if self.accessibility:
            self.spawn(["/usr/libexec/at-spi-bus-launcher", "--launch-immediately"], "atspi")
            self.env["QT_LINUX_ACCESSIBILITY_ALWAYS_ON"] = "1"
        self.start_window_manager(self.wm_name)
        if self.tray:
            with open(os.path.join(self.dir, "tint2rc"), "w") as f:
                f.write("panel_items = S\npanel_position = bottom right horizontal\npanel_size = 60 30\n")
            self.spawn(["tint2", "-c", os.path.join(self.dir, "tint2rc")], "tint2")
            wait_until(lambda: self.selection_owner(b"_NET_SYSTEM_TRAY_S0"), 30, "the notification area")
        return self

    def sample_window(self, title, geometry):
        """Another program's window (xlogo) with this title and geometry: its id, once mapped."""
        self.spawn(["xlogo", "-bw", "0", "-title", title, "-geometry", geometry], title)
        search = ["xdotool", "search", "--onlyvisible", "--name", f"^{title}$"]
        return int(wait_until(lambda: subprocess.run(search, env=self.env, capture_output=True, text=True)
                              .stdout.split(), 10, f"the window {title!r}")[0])

    def selection_owner(self, name):
        x = ctypes.CDLL("libX11.so.6")
        x.XOpenDisplay.restype, x.XInternAtom.restype, x.XGetSelectionOwner.restype = (
            ctypes.c_void_p, ctypes.c_ulong, ctypes.c_ulong)
        x.XInternAtom.argtypes = [ctypes.c_void_p, ctypes.c_char_p, ctypes.c_int]
        x.XGetSelectionOwner.argtypes, x.XCloseDisplay.argtypes = [ctypes.c_void_p, ctypes.c_ulong], [ctypes.c_void_p]
        if not (dpy := x.XOpenDisplay(self.display.encode())):
            return 0
        owner = x.XGetSelectionOwner(dpy, x.XInternAtom(dpy, name, 0))
        x.XCloseDisplay(dpy)
        return owner

    def start_window_manager(self, name):
        """Returns once the window manager frames new windows and, if it composites, owns the
        compositing selection: openbox sets its check window before it takes map requests."""
        if WINDOW_MANAGERS[name] is None:
            return
        self.spawn(WINDOW_MANAGERS[name], name)
        wait_until(lambda: "window id" in self.run(["xprop", "-root", "_NET_SUPPORTING_WM_CHECK"]), 30,
                   f"{name} to start")
        if name == "xfwm4":
            wait_until(lambda: self.selection_owner(b"_NET_WM_CM_S0"), 30, "the compositor")
        wait_until(self._probe_framed, 30, f"{name} to frame windows")

    def _probe_framed(self):
        """Whether a new window is framed within a second; a map request that comes in too early is
        dropped, so each try maps a window of its own, named for that try."""
        name = f"sizewise-probe-{time.monotonic_ns()}"
        probe = self.spawn(["xlogo", "-name", name, "-geometry", "10x10+0+0"], "probe")
        search = ["xdotool", "search", "--classname", f"^{name}$"]
        try:
            return wait_until(lambda: any(self.framed(int(w)) for w in subprocess.run(
                search, env=self.env, capture_output=True, text=True).stdout.split()), 1)
        except (AssertionError, RuntimeError):  # not framed in time, or gone while looked at
            return False
        finally:
            probe.terminate()
            probe.wait()
            self.procs.remove(probe)

    def framed(self, window):
        parent = self.run(["xwininfo", "-children", "-id", str(window)]).split("Parent window id:")[1]
        return "(the root window)" not in parent.split("\n")[0]

    def _start_server(self):
        # Free numbers picked at random: -displayfd alone would start at 0 and take a number
        # whose lock is gone while another server still listens on it.
        for number in random.sample([n for n in range(100, 1000) if not display_in_use(n)], 5):
            r, w = os.pipe()
            if self.two_monitors:
                args = ["Xorg", f":{number}", "-config", os.path.join(HERE, "xorg-dummy.conf"), "-logfile",
                        os.path.join(self.dir, "xorg.log"), "-novtswitch", "-sharevts"]
            else:
                args = ["Xvfb", f":{number}", "-screen", "0", "1024x768x24"]
            xvfb = self.spawn(args + ["-displayfd", str(w), "-nolisten", "tcp", "-noreset"], "xvfb", pass_fds=(w,))
            os.close(w)
            with os.fdopen(r, "rb") as pipe:
                if read_line(pipe, 20).strip() == str(number).encode() and "already running" not in self.log("xvfb"):
                    self.display = self.env["DISPLAY"] = f":{number}"
                    return
            xvfb.kill()
            xvfb.wait()
            self.procs.remove(xvfb)
        raise RuntimeError("Xvfb did not start: " + self.log("xvfb")[-500:])

    def stop(self):
        for proc in reversed(self.procs):  # clients first, the X server last
            if proc.poll() is None:
                proc.terminate()
                try:
                    proc.wait(timeout=3)
                except subprocess.TimeoutExpired:
                    proc.kill()
                    proc.wait()
        shutil.rmtree(self.dir, ignore_errors=True)


if __name__ == "__main__":
    ap = argparse.ArgumentParser(description=__doc__)
    ap.add_argument("--wm", default="openbox", choices=sorted(WINDOW_MANAGERS))
    ap.add_argument("--no-tray", action="store_true")
    ap.add_argument("--two-monitors", action="store_true")
    ap.add_argument("command", nargs="+")
    a = ap.parse_args()
    with Desktop(a.wm, tray=not a.no_tray, two_monitors=a.two_monitors) as desktop:
        sys.exit(subprocess.run(a.command, env=dict(desktop.env, SIZEWISE_TEST_WM=a.wm)).returncode)
