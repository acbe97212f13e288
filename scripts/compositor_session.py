"""What the private headless compositor sessions of the Wayland tests share: an ordinary user of
their own, a folder with the user's home and runtime directory, a session bus, clients started as
that user (terminals and Qt windows whose titles a test changes), the display of the session's
Xwayland, and a stop that leaves no process behind."""

import os
import pwd
import signal
import subprocess
import sys
import tempfile

from gi.repository import Gio

HERE = os.path.dirname(os.path.abspath(__file__))
# The clients the tests start in a session (qt_window.py) live with the tests.
TEST_CLIENTS = os.path.join(HERE, "..", "tests", "wayland")
sys.path.insert(0, HERE)
from desktop import wait_until  # noqa: E402,F401  (the sessions' users take it from here)

# Root may connect as well as the user who owns the bus: the tests play Sizewise from a root process.
# Extra addresses may lie outside the user's runtime directory (mode 700), so that other users can
# reach the bus too and a test can see a service refuse them.
BUS_CONFIG = """<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  {listen}
  <auth>EXTERNAL</auth>
  <standard_session_servicedirs/>
  <policy context="default">
    <allow user="*"/>
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
"""

# The shell of a test terminal: it gives the terminal the title it is started with, then each line
# written to its FIFO, so a test can change another program's title at will.
TITLE_SHELL = """#!/bin/sh
printf '\\033]0;%s\\007' "$SIZEWISE_TITLE"
while :; do
  IFS= read -r title < "$SIZEWISE_TITLE_FIFO" && printf '\\033]0;%s\\007' "$title"
done
"""


def ensure_user(name):
    """The ordinary user the compositor and its clients run as, as on a desktop."""
    try:
        return pwd.getpwnam(name)
    except KeyError:
        subprocess.run(["useradd", "--system", "--no-create-home", "--home-dir", "/nonexistent",
                        "--shell", "/usr/sbin/nologin", name], check=True, capture_output=True)
        return pwd.getpwnam(name)


def group_members(pgid):
    """Processes still in a process group, zombies left out: pid to command name."""
    found = {}
    for entry in os.listdir("/proc"):
        if entry.isdigit():
            try:
                with open(f"/proc/{entry}/stat") as f:
                    stat = f.read()
            except OSError:
                continue
            fields = stat[stat.rindex(")") + 2:].split()
            if int(fields[2]) == pgid and fields[0] != "Z":
                found[int(entry)] = stat[stat.index("(") + 1:stat.rindex(")")]
    return found


def end_group(pgid, first=None, timeout=5.0):
    """SIGTERM to a whole process group, SIGKILL to whatever is left after the timeout. The
    process named first is ended alone before, so that its parent reaps it and ends in order."""
    leader = [pid for pid, name in group_members(pgid).items() if name == first]
    for pid in leader:
        os.kill(pid, signal.SIGTERM)
    try:
        wait_until(lambda: not any(pid in group_members(pgid) for pid in leader), timeout, f"{first} to end")
    except AssertionError:
        pass
    try:
        os.killpg(pgid, signal.SIGTERM)
    except ProcessLookupError:
        return
    try:
        wait_until(lambda: not group_members(pgid), timeout, f"process group {pgid} to end")
    except AssertionError:
        try:
            os.killpg(pgid, signal.SIGKILL)
        except ProcessLookupError:
            pass


def save_image(path, data, meta):
    """Raw pixels as a compositor's screenshot gives them (width, height, stride and QImage's format
    number in meta) saved as a PNG."""
    from PyQt6.QtGui import QImage
    image = QImage(data, meta["width"], meta["height"], meta["stride"], QImage.Format(meta["format"]))
    if not image.save(path):
        raise RuntimeError(f"could not save the screenshot as {path}")


class CompositorSession:
    """The common part; a compositor's session starts it (start()) and says how it reads windows
    (windows(), TITLE: the key of a window's title there)."""

    LOG = "compositor.log"
    TITLE = "title"

    def __init__(self, user, width, height):
        self.width, self.height = width, height
        self.user = ensure_user(user)
        self.dir = tempfile.mkdtemp(prefix=user + "-")
        self.runtime = os.path.join(self.dir, "runtime")
        self.home = os.path.join(self.dir, "home")
        self.proc, self.clients, self.bus, self.startup_seconds, self.exit_status = None, [], None, None, None
        self.env = {"PATH": "/usr/bin:/bin", "LANG": "C.UTF-8", "HOME": self.home, "XDG_RUNTIME_DIR": self.runtime,
                    "XDG_SESSION_TYPE": "wayland", "QT_QPA_PLATFORM": "wayland",
                    "DBUS_SESSION_BUS_ADDRESS": "unix:path=" + os.path.join(self.runtime, "bus")}
        # Settings, caches and state of every program here stay inside this session.
        for name, under in (("CONFIG", ".config"), ("CACHE", ".cache"), ("DATA", ".local/share"),
                            ("STATE", ".local/state")):
            self.env[f"XDG_{name}_HOME"] = os.path.join(self.home, under)

    def __enter__(self):
        try:
            return self.start()
        except BaseException:
            self.stop()
            raise

    def __exit__(self, *exc):
        self.stop()

    def path(self, name):
        return os.path.join(self.dir, name)

    def log(self):
        """What the compositor printed."""
        with open(self.path(self.LOG), "rb") as f:
            return f.read().decode(errors="replace")

    def _own(self, path, mode):
        os.chown(path, self.user.pw_uid, self.user.pw_gid)
        os.chmod(path, mode)

    def _own_tree(self, top):
        for folder, dirs, files in os.walk(top):
            self._own(folder, 0o755)
            for name in files:
                self._own(os.path.join(folder, name), 0o644)

    def _make_folders(self):
        """The session's folder, the user's runtime directory (700) and home with its XDG folders."""
        self._own(self.dir, 0o755)
        os.mkdir(self.runtime)
        self._own(self.runtime, 0o700)
        for name in ("CONFIG", "CACHE", "DATA", "STATE"):
            os.makedirs(self.env[f"XDG_{name}_HOME"])
        self._own_tree(self.home)

    def write_file(self, name, text, mode=0o644):
        """A file in the session's folder that the compositor's user can read."""
        with open(self.path(name), "w") as f:
            f.write(text)
        self._own(self.path(name), mode)
        return self.path(name)

    def user_copy(self, source):
        """A copy of a script that the session's user can read wherever the tests are."""
        name = os.path.basename(source)
        if not os.path.exists(self.path(name)):
            with open(source) as f:
                self.write_file(name, f.read())
        return self.path(name)

    def bus_config(self, *others):
        """The session bus's configuration file: the user's socket, and others."""
        sockets = [os.path.join(self.runtime, "bus")] + list(others)
        return self.write_file("bus.conf", BUS_CONFIG.format(
            listen="\n  ".join(f"<listen>unix:path={s}</listen>" for s in sockets)))

    def connect_bus(self):
        return Gio.DBusConnection.new_for_address_sync(
            self.env["DBUS_SESSION_BUS_ADDRESS"],
            Gio.DBusConnectionFlags.AUTHENTICATION_CLIENT | Gio.DBusConnectionFlags.MESSAGE_BUS_CONNECTION,
            None, None)

    def as_user(self, args):
        """A command line that runs args as the session's user, with its environment and nothing of
        ours; setpriv execs in place, so the process started is the program itself."""
        return (["setpriv", f"--reuid={self.user.pw_uid}", f"--regid={self.user.pw_gid}", "--init-groups", "--",
                 "env", "-i"] + [f"{k}={v}" for k, v in self.env.items()] + args)

    def run_as_user(self, args, timeout=30.0):
        """A command of the session's user, run to its end; returns the finished process."""
        return subprocess.run(self.as_user(args), capture_output=True, text=True, timeout=timeout)

    def xwayland_display(self):
        """The display (":N") and authority file of the session's Xwayland, from its command line,
        once it runs; None before."""
        for pid, name in group_members(self.proc.pid).items():
            if name == "Xwayland":
                try:
                    with open(f"/proc/{pid}/cmdline", "rb") as f:
                        args = f.read().decode().split("\0")
                except OSError:
                    continue
                display = next((arg for arg in args if arg.startswith(":")), None)
                auth = args[args.index("-auth") + 1] if "-auth" in args else None
                return (display, auth) if display else None
        return None

    def use_xwayland(self):
        """Waits for Xwayland and names it in env, as a desktop session does for its programs."""
        display, auth = wait_until(self.xwayland_display, 30, "Xwayland to start")
        self.env["DISPLAY"] = display
        if auth:
            self.env["XAUTHORITY"] = auth

    # --- foreign windows ---------------------------------------------------------------------------

    def spawn(self, args, name, stdin=subprocess.DEVNULL):
        """A client of this session as its user, in a process group of its own."""
        with open(self.path(name + ".log"), "ab") as log:
            proc = subprocess.Popen(self.as_user(args), stdin=stdin, stdout=log, stderr=log, start_new_session=True)
        self.clients.append(proc)
        return proc

    def terminal(self, title):
        """A weston-terminal with this title; returns its process (whose pid the compositor reports
        for the window) and a function that gives it a new title."""
        shell = self.path("title-shell.sh")
        if not os.path.exists(shell):
            self.write_file("title-shell.sh", TITLE_SHELL, 0o755)
        fifo = self.path(f"title-{len(self.clients)}.fifo")
        os.mkfifo(fifo)
        self._own(fifo, 0o600)
        self.env.update(SIZEWISE_TITLE=title, SIZEWISE_TITLE_FIFO=fifo)
        try:
            proc = self.spawn(["weston-terminal", "--shell=" + shell], "weston-terminal")
        finally:
            del self.env["SIZEWISE_TITLE"], self.env["SIZEWISE_TITLE_FIFO"]

        def retitle(new_title):
            with open(fifo, "w") as f:
                f.write(new_title + "\n")
        return proc, retitle

    def qt_window(self, title, frameless=False):
        """A Qt 6 window (qt_window.py) with this title; returns its process and a function that
        gives it a new title."""
        script = self.user_copy(os.path.join(TEST_CLIENTS, "qt_window.py"))
        proc = self.spawn(["/usr/bin/python3", script, title] + (["--frameless"] if frameless else []), "qt",
                          stdin=subprocess.PIPE)

        def retitle(new_title):
            proc.stdin.write(new_title.encode() + b"\n")
            proc.stdin.flush()
        return proc, retitle

    def shown(self, window):
        """Whether a window the compositor reports is on the screen."""
        return True

    def wait_window(self, pid, title=None, timeout=20.0):
        """The compositor's view of the shown window of this process (with this title)."""
        return wait_until(lambda: next((w for w in self.windows() if w["pid"] == pid and self.shown(w) and
                                        (title is None or w[self.TITLE] == title)), None),
                          timeout, f"the window of process {pid}")

    def stop_clients(self):
        for proc in self.clients:
            end_group(proc.pid)
            proc.wait()
            if proc.stdin:
                proc.stdin.close()
        self.clients = []

    def close_bus(self):
        if self.bus is not None and not self.bus.is_closed():
            self.bus.close_sync(None)

    def run_command(self, name):
        """As a command: runs the program after "--" in this session and exits with its status."""
        if len(sys.argv) < 3 or sys.argv[1] != "--":
            sys.exit(sys.modules["__main__"].__doc__)
        with self:
            print(f"{name}: up in {self.startup_seconds:.2f} s", file=sys.stderr)
            sys.exit(subprocess.run(sys.argv[2:], env=dict(os.environ, **self.env)).returncode)
