"""A private headless GNOME Shell (Wayland, virtual monitor, no GPU) for the tests of Sizewise's GNOME
Shell extension: its own user, runtime directory, system and session bus, the extension installed
and enabled before the Shell starts, foreign windows (weston-terminal, Qt 6) on request, the Shell's
own answer for where each window is, and input through Mutter's RemoteDesktop API. As a command it
runs a program in such a session and exits with its status: gnome_session.py -- PROGRAM ARGS..."""

import json
import os
import pwd
import shutil
import signal
import subprocess
import sys
import tempfile
import time

from gi.repository import Gio, GLib

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "scripts"))
from desktop import wait_until  # noqa: E402

BUILD_EXTENSION = os.path.join(HERE, "..", "..", "platform", "gnome", "build-extension.sh")
EXTENSION_UUID = "sizewise@sizewise.github.io"
PROBE = os.path.join(HERE, "gnome-probe")
PROBE_UUID = "sizewise-tests-probe@sizewise.github.io"
USER = "sizewise-gnome"
SOCKET = "wayland-gs"
SIZEWISE_NAME = "io.github.sizewise.Shell"

# Root may connect as well as the user who owns the bus: the tests play Sizewise from a root process.
# The second address lies outside the user's runtime directory (mode 700), so that other users can
# reach the bus too and a test can see the extension refuse them.
BUS_CONFIG = """<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:path={socket}</listen>
  <listen>unix:path={others}</listen>
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

# Run as root inside the session's own mount namespace. Stale seats under /run/systemd (no logind
# runs here) and no system bus make the Shell fail in its login-manager code: both get a fresh
# tmpfs, and a system bus of the namespace's own is started for it. Not with --fork, which would
# take it out of the session's process group and leave it running after the stop.
ROOT_SETUP = """set -e
mount -t tmpfs tmpfs /run/systemd
mount -t tmpfs tmpfs /run/dbus
dbus-daemon --system --nofork --nopidfile &
while [ ! -S /run/dbus/system_bus_socket ]; do sleep 0.01; done
exec "$@"
"""

# Run as the user inside dbus-run-session: the settings go through dconf, which the bus starts with
# the bus's environment, so HOME and XDG_* are set before dbus-run-session, not here.
USER_START = """set -e
gsettings set org.gnome.shell disable-user-extensions false
gsettings set org.gnome.shell enabled-extensions "$SIZEWISE_EXTENSIONS"
gsettings set org.gnome.desktop.interface enable-animations false
gsettings set org.gnome.desktop.interface enable-hot-corners false
exec gnome-shell --headless --wayland --no-x11 --virtual-monitor "$SIZEWISE_MONITOR" --wayland-display "$SIZEWISE_SOCKET"
"""

# The shell of a test terminal: it gives the terminal the title it is started with, then each line
# written to its FIFO, so a test can change another program's title at will.
TITLE_SHELL = """#!/bin/sh
printf '\\033]0;%s\\007' "$SIZEWISE_TITLE"
while :; do
  IFS= read -r title < "$SIZEWISE_TITLE_FIFO" && printf '\\033]0;%s\\007' "$title"
done
"""

# Every window as the Shell itself sees it, evaluated inside the Shell (org.gnome.Shell.Eval).
WINDOWS_JS = """
global.get_window_actors().map(a => a.meta_window).filter(w => w).map(w => {
    const f = w.get_frame_rect(), b = w.get_buffer_rect(), a = w.get_work_area_current_monitor();
    return {id: String(w.get_id()), title: w.get_title(), pid: w.get_pid(), minimized: w.minimized,
            maximizedHorizontally: w.maximized_horizontally, maximizedVertically: w.maximized_vertically,
            above: w.is_above(), active: w === global.display.focus_window, hidden: w.is_hidden(),
            decorated: w.decorated, frame: [f.x, f.y, f.width, f.height], buffer: [b.x, b.y, b.width, b.height],
            workArea: [a.x, a.y, a.width, a.height]};
})
"""


def ensure_user():
    """The ordinary user the Shell and its clients run as, as on a desktop."""
    try:
        return pwd.getpwnam(USER)
    except KeyError:
        subprocess.run(["useradd", "--system", "--no-create-home", "--home-dir", "/nonexistent",
                        "--shell", "/usr/sbin/nologin", USER], check=True, capture_output=True)
        return pwd.getpwnam(USER)


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


class GnomeSession:
    def __init__(self, width=1280, height=800, extensions=(EXTENSION_UUID, PROBE_UUID)):
        """extensions: the uuids enabled at the start; both are installed either way."""
        self.width, self.height, self.extensions = width, height, list(extensions)
        self.user = ensure_user()
        self.dir = tempfile.mkdtemp(prefix="sizewise-gnome-")
        self.runtime = os.path.join(self.dir, "runtime")
        self.home = os.path.join(self.dir, "home")
        self.proc, self.clients, self.bus, self.startup_seconds, self.exit_status = None, [], None, None, None
        self.env = {"PATH": "/usr/bin:/bin", "LANG": "C.UTF-8", "HOME": self.home, "XDG_RUNTIME_DIR": self.runtime,
                    "XDG_SESSION_TYPE": "wayland", "QT_QPA_PLATFORM": "wayland",
                    "DBUS_SESSION_BUS_ADDRESS": "unix:path=" + os.path.join(self.runtime, "bus"),
                    "XDG_CONFIG_HOME": os.path.join(self.home, ".config"),
                    "XDG_CACHE_HOME": os.path.join(self.home, ".cache"),
                    "XDG_DATA_HOME": os.path.join(self.home, ".local", "share"),
                    "XDG_STATE_HOME": os.path.join(self.home, ".local", "state")}
        self.extensions_dir = os.path.join(self.env["XDG_DATA_HOME"], "gnome-shell", "extensions")

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
        """What the Shell printed: its own messages and the extensions' errors."""
        with open(self.path("gnome-shell.log"), "rb") as f:
            return f.read().decode(errors="replace")

    def _own(self, path, mode):
        os.chown(path, self.user.pw_uid, self.user.pw_gid)
        os.chmod(path, mode)

    def _own_tree(self, top):
        for folder, dirs, files in os.walk(top):
            self._own(folder, 0o755)
            for name in files:
                self._own(os.path.join(folder, name), 0o644)

    def write_file(self, name, text, mode=0o644):
        """A file in the session's folder that the Shell's user can read."""
        with open(self.path(name), "w") as f:
            f.write(text)
        self._own(self.path(name), mode)
        return self.path(name)

    def as_user(self, args):
        """A command line that runs args as the session's user, with its environment and nothing of
        ours; setpriv execs in place, so the process started is the program itself."""
        return (["setpriv", f"--reuid={self.user.pw_uid}", f"--regid={self.user.pw_gid}", "--init-groups", "--",
                 "env", "-i"] + [f"{k}={v}" for k, v in self.env.items()] + args)

    def install_extensions(self):
        """Both extensions into the user's ~/.local/share/gnome-shell/extensions: Sizewise's as a user
        would, its package (platform/gnome/build-extension.sh) through gnome-extensions install;
        the probe copied."""
        os.makedirs(self.extensions_dir)
        shutil.copytree(PROBE, os.path.join(self.extensions_dir, PROBE_UUID))
        self._own_tree(self.home)
        subprocess.run([BUILD_EXTENSION, self.dir], check=True, capture_output=True)
        self._own(self.path("sizewise-gnome43.zip"), 0o644)
        installed = self.run_as_user(["gnome-extensions", "install", "--force", self.path("sizewise-gnome43.zip")])
        if installed.returncode != 0 or not os.path.exists(os.path.join(self.extensions_dir, EXTENSION_UUID)):
            raise RuntimeError("gnome-extensions install failed: " + installed.stderr)

    def start(self):
        self._own(self.dir, 0o755)
        os.mkdir(self.runtime)
        self._own(self.runtime, 0o700)
        for name in ("XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_STATE_HOME"):
            os.makedirs(self.env[name])
        self.install_extensions()
        self.others_address = "unix:path=" + self.path("bus-for-others")
        config = self.write_file("bus.conf", BUS_CONFIG.format(socket=os.path.join(self.runtime, "bus"),
                                                               others=self.path("bus-for-others")))
        start = self.write_file("start-shell.sh", USER_START, 0o755)
        self.env.update(SIZEWISE_EXTENSIONS=str(self.extensions), SIZEWISE_SOCKET=SOCKET,
                        SIZEWISE_MONITOR=f"{self.width}x{self.height}")
        shell = self.as_user(["dbus-run-session", f"--config-file={config}", "--", "sh", start])
        for name in ("SIZEWISE_EXTENSIONS", "SIZEWISE_SOCKET", "SIZEWISE_MONITOR"):
            del self.env[name]
        started = time.monotonic()
        with open(self.path("gnome-shell.log"), "ab") as log:
            # A session of its own: bus-activated helpers outlive the bus's runner, and the whole
            # group is ended at the stop.
            self.proc = subprocess.Popen(["unshare", "-m", "--propagation", "private", "sh", "-c", ROOT_SETUP,
                                          "root-setup"] + shell,
                                         stdin=subprocess.DEVNULL, stdout=log, stderr=log, start_new_session=True)
        self.env["WAYLAND_DISPLAY"] = SOCKET
        wait_until(lambda: self.proc.poll() is not None or os.path.exists(os.path.join(self.runtime, "bus")), 30,
                   "the session bus")
        self.bus = Gio.DBusConnection.new_for_address_sync(
            self.env["DBUS_SESSION_BUS_ADDRESS"],
            Gio.DBusConnectionFlags.AUTHENTICATION_CLIENT | Gio.DBusConnectionFlags.MESSAGE_BUS_CONNECTION,
            None, None)
        # Ready once the Shell has loaded the extensions asked for: the probe's unsafe mode makes
        # Eval answer, Sizewise's extension owns its name.
        wait_until(lambda: self.proc.poll() is not None or self._ready(), 90, "GNOME Shell to start")
        if self.proc.poll() is not None:
            raise RuntimeError("gnome-shell ended at its start: " + self.log()[-3000:])
        self.startup_seconds = time.monotonic() - started
        return self

    def _ready(self):
        if not os.path.exists(os.path.join(self.runtime, SOCKET)):
            return False
        try:
            if PROBE_UUID in self.extensions and self.eval("true") is not True:
                return False
            return EXTENSION_UUID not in self.extensions or self.has_owner(SIZEWISE_NAME)
        except GLib.Error:
            return False

    def call(self, destination, path, interface, method, args=None, timeout=10.0):
        """A method call on the session bus; returns the reply's values."""
        reply = self.bus.call_sync(destination, path, interface, method, args, None, Gio.DBusCallFlags.NONE,
                                   int(timeout * 1000), None)
        return reply.unpack() if reply is not None else ()

    def has_owner(self, name):
        return self.call("org.freedesktop.DBus", "/org/freedesktop/DBus", "org.freedesktop.DBus", "NameHasOwner",
                         GLib.Variant("(s)", (name,)))[0]

    # --- the Shell's own answers --------------------------------------------------------------------

    def eval(self, code):
        """Evaluates JavaScript inside the Shell (unsafe mode, from the probe extension); returns
        the value as JSON would carry it."""
        ok, value = self.call("org.gnome.Shell", "/org/gnome/Shell", "org.gnome.Shell", "Eval",
                              GLib.Variant("(s)", (code,)))
        if not ok:
            raise RuntimeError(f"the Shell refused to evaluate {code.strip()[:60]!r}: {value!r}")
        return json.loads(value) if value else None

    def windows(self):
        """Every window as the Shell itself sees it: id (a string), title, pid, frame [x, y, w, h],
        the buffer around it, minimized, maximizedHorizontally/-Vertically, above, active, hidden
        and the work area of its monitor."""
        return self.eval(WINDOWS_JS)

    def window(self, window_id):
        return next((w for w in self.windows() if w["id"] == str(window_id)), None)

    def move_window(self, window_id, x, y):
        """Moves a window from inside the Shell, as the end of a user's drag would."""
        self.eval(f"global.get_window_actors().map(a => a.meta_window)"
                  f".find(w => w.get_id() == {int(window_id)}).move_frame(true, {int(x)}, {int(y)})")

    def extension_state(self, uuid=EXTENSION_UUID):
        """The Shell's state of an extension: 1 enabled, 2 disabled, 3 error, ..."""
        info = self.call("org.gnome.Shell", "/org/gnome/Shell", "org.gnome.Shell.Extensions", "GetExtensionInfo",
                         GLib.Variant("(s)", (uuid,)))[0]
        return info.get("state"), info.get("error")

    # --- foreign windows ---------------------------------------------------------------------------

    def spawn(self, args, name, stdin=subprocess.DEVNULL):
        """A client of this session as its user, in a process group of its own."""
        with open(self.path(name + ".log"), "ab") as log:
            proc = subprocess.Popen(self.as_user(args), stdin=stdin, stdout=log, stderr=log, start_new_session=True)
        self.clients.append(proc)
        return proc

    def run_as_user(self, args, timeout=30.0):
        """A command of the session's user, run to its end; returns the finished process."""
        return subprocess.run(self.as_user(args), capture_output=True, text=True, timeout=timeout)

    def terminal(self, title):
        """A weston-terminal with this title; returns its process (whose pid the Shell reports for
        the window) and a function that gives it a new title."""
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
        """A Qt 6 window (tests/wayland/gnome_qt_window.py) with this title; returns its process
        and a function that gives it a new title."""
        script = self.path("gnome_qt_window.py")
        if not os.path.exists(script):  # a copy the session's user can read wherever the tests are
            with open(os.path.join(HERE, "gnome_qt_window.py")) as f:
                self.write_file("gnome_qt_window.py", f.read())
        proc = self.spawn(["/usr/bin/python3", script, title] + (["--frameless"] if frameless else []), "qt",
                          stdin=subprocess.PIPE)

        def retitle(new_title):
            proc.stdin.write(new_title.encode() + b"\n")
            proc.stdin.flush()
        return proc, retitle

    def wait_window(self, pid, title=None, timeout=20.0):
        """The Shell's view of the shown window of this process (with this title), once mapped."""
        return wait_until(lambda: next((w for w in self.windows() if w["pid"] == pid and not w["hidden"] and
                                        (title is None or w["title"] == title)), None),
                          timeout, f"the window of process {pid}")

    def stop(self):
        for proc in self.clients:
            end_group(proc.pid)
            proc.wait()
            if proc.stdin:
                proc.stdin.close()
        if self.bus is not None and not self.bus.is_closed():
            self.bus.close_sync(None)
        if self.proc is not None:
            # The Shell first: dbus-run-session then ends its bus and exits with the Shell's status.
            # The rest of the group (the namespace's system bus, helpers the buses started) after.
            for pid, name in group_members(self.proc.pid).items():
                if name == "gnome-shell":
                    os.kill(pid, signal.SIGTERM)
            try:
                wait_until(lambda: self.proc.poll() is not None, 10, "gnome-shell to end")
            except AssertionError:
                pass
            end_group(self.proc.pid)
            self.exit_status = self.proc.wait()
        shutil.rmtree(self.dir, ignore_errors=True)


class RemoteInput:
    """Pointer and keyboard input through Mutter's RemoteDesktop API, as a remote-desktop server
    sends it. Mutter ends a remote-desktop session when the client that made it leaves the bus, so
    this keeps one connection of its own for its whole life. Absolute motion needs a screen-cast
    stream of the same session (ScreenCast RecordMonitor), which streams through a PipeWire daemon
    of the session; relative motion needs nothing more, so the pointer is moved relatively, from a
    corner that holds it."""

    MUTTER = "org.gnome.Mutter.RemoteDesktop"
    SESSION = "org.gnome.Mutter.RemoteDesktop.Session"
    BTN_LEFT = 0x110
    KEY_SHIFT_L = 0xffe1

    def __init__(self, session):
        self.bus = Gio.DBusConnection.new_for_address_sync(
            session.env["DBUS_SESSION_BUS_ADDRESS"],
            Gio.DBusConnectionFlags.AUTHENTICATION_CLIENT | Gio.DBusConnectionFlags.MESSAGE_BUS_CONNECTION,
            None, None)
        self.path = self._call("/org/gnome/Mutter/RemoteDesktop", self.MUTTER, "CreateSession")[0]
        self._call(self.path, self.SESSION, "Start")
        self.width, self.height = session.width, session.height

    def _call(self, path, interface, method, args=None):
        reply = self.bus.call_sync(self.MUTTER, path, interface, method, args, None, Gio.DBusCallFlags.NONE, 10000,
                                   None)
        return reply.unpack() if reply is not None else ()

    def move_by(self, dx, dy):
        self._call(self.path, self.SESSION, "NotifyPointerMotionRelative", GLib.Variant("(dd)", (dx, dy)))

    def move_to(self, x, y):
        """To (x, y) by way of the bottom right corner, where the screen's edges hold the pointer.
        Not the top left one: the Shell's hot corner has a pressure barrier there that stops the
        relative motion away from it."""
        self.move_by(2 * self.width, 2 * self.height)
        self.move_by(x - (self.width - 1), y - (self.height - 1))

    def button(self, pressed, button=BTN_LEFT):
        self._call(self.path, self.SESSION, "NotifyPointerButton", GLib.Variant("(ib)", (button, pressed)))

    def key(self, pressed, keysym=KEY_SHIFT_L):
        self._call(self.path, self.SESSION, "NotifyKeyboardKeysym", GLib.Variant("(ub)", (keysym, pressed)))

    def close(self):
        try:
            self._call(self.path, self.SESSION, "Stop")
        except GLib.Error:
            pass
        self.bus.close_sync(None)


if __name__ == "__main__":
    if len(sys.argv) < 3 or sys.argv[1] != "--":
        sys.exit(__doc__)
    with GnomeSession() as session:
        print(f"gnome_session: up in {session.startup_seconds:.2f} s", file=sys.stderr)
        sys.exit(subprocess.run(sys.argv[2:], env=dict(os.environ, **session.env)).returncode)
