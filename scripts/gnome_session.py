"""A private headless GNOME Shell (Wayland, virtual monitor, no GPU) for the tests of Sizewise's GNOME
Shell extension: its own user, runtime directory, system and session bus, the extension installed
and enabled before the Shell starts, foreign windows (weston-terminal, Qt 6) on request, the Shell's
own answer for where each window is, and input through Mutter's RemoteDesktop API. As a command it
runs a program in such a session and exits with its status: gnome_session.py -- PROGRAM ARGS..."""

import json
import os
import shutil
import signal
import subprocess
import time

from gi.repository import GLib

from compositor_session import HERE, TEST_CLIENTS, CompositorSession, end_group, group_members, wait_until

BUILD_EXTENSION = os.path.join(HERE, "..", "platform", "gnome", "build-extension.sh")
EXTENSION_UUID = "sizewise@sizewise.github.io"
PROBE = os.path.join(TEST_CLIENTS, "gnome-probe")
PROBE_UUID = "sizewise-tests-probe@sizewise.github.io"
USER = "sizewise-gnome"
SOCKET = "wayland-gs"
SIZEWISE_NAME = "io.github.sizewise.Shell"

# Run as root inside the session's own mount namespace. Stale seats under /run/systemd (no logind
# runs here) and no system bus make the Shell fail in its login-manager code: both get a fresh
# tmpfs, and a system bus of the namespace's own is started for it. Not with --fork, which would
# take it out of the session's process group and leave it running after the stop. Xwayland puts its
# socket in /tmp/.X11-unix, which must be writable by the user; clients outside the namespace reach
# it by its abstract socket of the same name.
ROOT_SETUP = """set -e
mount -t tmpfs tmpfs /run/systemd
mount -t tmpfs tmpfs /run/dbus
mkdir -p /tmp/.X11-unix
mount -t tmpfs -o mode=1777 tmpfs /tmp/.X11-unix
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
exec gnome-shell --headless --wayland $SIZEWISE_X11 --virtual-monitor "$SIZEWISE_MONITOR" --wayland-display "$SIZEWISE_SOCKET"
"""

# Every window as the Shell itself sees it, evaluated inside the Shell (org.gnome.Shell.Eval).
WINDOWS_JS = """
global.get_window_actors().map(a => a.meta_window).filter(w => w).map(w => {
    const f = w.get_frame_rect(), b = w.get_buffer_rect(), a = w.get_work_area_current_monitor();
    return {id: String(w.get_id()), title: w.get_title(), pid: w.get_pid(), minimized: w.minimized,
            maximizedHorizontally: w.maximized_horizontally, maximizedVertically: w.maximized_vertically,
            above: w.is_above(), skipTaskbar: w.is_skip_taskbar(), active: w === global.display.focus_window, hidden: w.is_hidden(),
            decorated: w.decorated, frame: [f.x, f.y, f.width, f.height], buffer: [b.x, b.y, b.width, b.height],
            workArea: [a.x, a.y, a.width, a.height]};
})
"""


class GnomeSession(CompositorSession):
    LOG = "gnome-shell.log"

    def __init__(self, width=1280, height=800, extensions=(EXTENSION_UUID, PROBE_UUID), x11=False,
                 installed=(EXTENSION_UUID, PROBE_UUID)):
        """extensions: the uuids enabled at the start, of those installed. x11: the Shell starts
        Xwayland too, and DISPLAY and XAUTHORITY name it in env."""
        super().__init__(USER, width, height)
        self.extensions, self.x11, self.installed = list(extensions), x11, installed
        self.extensions_dir = os.path.join(self.env["XDG_DATA_HOME"], "gnome-shell", "extensions")

    def install_extensions(self):
        """The extensions into the user's ~/.local/share/gnome-shell/extensions: the probe copied,
        and Sizewise's unless left out, as a user would, its package (platform/gnome/
        build-extension.sh) through gnome-extensions install."""
        os.makedirs(self.extensions_dir, exist_ok=True)
        shutil.copytree(PROBE, os.path.join(self.extensions_dir, PROBE_UUID))
        self._own_tree(self.home)
        if EXTENSION_UUID not in self.installed:
            return
        subprocess.run([BUILD_EXTENSION, self.dir], check=True, capture_output=True)
        self._own(self.path("sizewise-gnome43.zip"), 0o644)
        installed = self.run_as_user(["gnome-extensions", "install", "--force", self.path("sizewise-gnome43.zip")])
        if installed.returncode != 0 or not os.path.exists(os.path.join(self.extensions_dir, EXTENSION_UUID)):
            raise RuntimeError("gnome-extensions install failed: " + installed.stderr)

    def start(self):
        self._make_folders()
        self.install_extensions()
        self.others_address = "unix:path=" + self.path("bus-for-others")
        config = self.bus_config(self.path("bus-for-others"))
        start = self.write_file("start-shell.sh", USER_START, 0o755)
        own = dict(SIZEWISE_EXTENSIONS=str(self.extensions), SIZEWISE_SOCKET=SOCKET,
                   SIZEWISE_MONITOR=f"{self.width}x{self.height}", SIZEWISE_X11="" if self.x11 else "--no-x11")
        self.env.update(own)
        shell = self.as_user(["dbus-run-session", f"--config-file={config}", "--", "sh", start])
        for name in own:
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
        self.bus = self.connect_bus()
        # Ready once the Shell has loaded the extensions asked for: the probe's unsafe mode makes
        # Eval answer, Sizewise's extension owns its name.
        wait_until(lambda: self.proc.poll() is not None or self._ready(), 90, "GNOME Shell to start")
        if self.proc.poll() is not None:
            raise RuntimeError("gnome-shell ended at its start: " + self.log()[-3000:])
        if self.x11:
            self.use_xwayland()
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
        reply = self.bus.call_sync(destination, path, interface, method, args, None, 0,
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

    def screenshot(self, path):
        """The whole screen as the Shell draws it, saved as a PNG (the Shell's Screenshot service
        answers others than its own parts only in unsafe mode, which the probe sets)."""
        inside = self.path("screenshot.png")
        ok, _ = self.call("org.gnome.Shell.Screenshot", "/org/gnome/Shell/Screenshot", "org.gnome.Shell.Screenshot",
                          "Screenshot", GLib.Variant("(bbs)", (False, False, inside)))
        if not ok:
            raise RuntimeError("GNOME Shell took no screenshot")
        shutil.copyfile(inside, path)

    def shown(self, window):
        return not window["hidden"]

    def stop(self):
        self.stop_clients()
        self.close_bus()
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
        self.bus = session.connect_bus()
        self.path = self._call("/org/gnome/Mutter/RemoteDesktop", self.MUTTER, "CreateSession")[0]
        self._call(self.path, self.SESSION, "Start")
        self.width, self.height = session.width, session.height

    def _call(self, path, interface, method, args=None):
        reply = self.bus.call_sync(self.MUTTER, path, interface, method, args, None, 0, 10000,
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
    GnomeSession(x11=True).run_command("gnome_session")
