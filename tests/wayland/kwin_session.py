"""A private headless KWin (kwin_wayland --virtual, no GPU) for the tests of Sizewise's KWin script:
its own user, runtime directory and session bus, foreign windows (weston-terminal) on request, and
the compositor's own answer for where each window is. As a command it runs a program in such a
session and exits with its status: kwin_session.py -- PROGRAM ARGS..."""

import json
import os
import pwd
import shutil
import signal
import subprocess
import sys
import tempfile
import time
import uuid

from gi.repository import Gio, GLib

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts"))
from desktop import wait_until  # noqa: E402

KWIN = "/usr/bin/kwin_wayland"
USER = "sizewise-kwin"
SOCKET = "wayland-sizewise"

# Root may connect as well as the user who owns the bus: the tests play Sizewise from a root process.
BUS_CONFIG = """<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:path={socket}</listen>
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

# A one-shot script that prints every window as KWin itself sees it, after a marker of its own.
PROBE_SCRIPT = """
var windows = workspace.windowList ? workspace.windowList() : workspace.clientList();
var active = workspace.activeWindow !== undefined ? workspace.activeWindow : workspace.activeClient;
var out = [];
for (var i = 0; i < windows.length; ++i) {
    var w = windows[i], f = w.frameGeometry, b = w.bufferGeometry;
    var max = workspace.clientArea(KWin.MaximizeArea, w);
    out.push({id: String(w.internalId), caption: w.caption, pid: w.pid, minimized: w.minimized,
              keepAbove: w.keepAbove, active: w === active, noBorder: w.noBorder,
              skipTaskbar: w.skipTaskbar, skipPager: w.skipPager, skipSwitcher: w.skipSwitcher,
              frame: [f.x, f.y, f.width, f.height], buffer: [b.x, b.y, b.width, b.height],
              maximizeArea: [max.x, max.y, max.width, max.height]});
}
print("%(marker)s " + JSON.stringify(out));
"""

# One move and size of a window, the way the compositor itself would, for a one-shot script.
MOVE_SCRIPT = """
windows = workspace.windowList ? workspace.windowList() : workspace.clientList();
for (i = 0; i < windows.length; ++i) {
    if (String(windows[i].internalId) === %(id)s) {
        windows[i].frameGeometry = {x: %(x)d, y: %(y)d, width: %(w)d, height: %(h)d};
    }
}
"""


def ensure_user():
    """The ordinary user the compositor and its clients run as, as on a desktop."""
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


class KwinSession:
    def __init__(self, width=1280, height=800, outputs=1, scale=1, xwayland=False):
        """outputs: how many monitors of width x height, which KWin's virtual backend puts side by
        side; scale: their scale factor (window frames are then in logical pixels); xwayland: KWin
        starts Xwayland too, and DISPLAY names it in env."""
        self.width, self.height, self.outputs, self.scale = width, height, outputs, scale
        self.xwayland = xwayland
        self.user = ensure_user()
        self.dir = tempfile.mkdtemp(prefix="sizewise-kwin-")
        self.runtime = os.path.join(self.dir, "runtime")
        self.home = os.path.join(self.dir, "home")
        self.proc, self.clients, self.bus, self.startup_seconds = None, [], None, None
        self.env = {"PATH": "/usr/bin:/bin", "LANG": "C.UTF-8", "HOME": self.home, "XDG_RUNTIME_DIR": self.runtime,
                    "XDG_SESSION_TYPE": "wayland", "QT_QPA_PLATFORM": "wayland",
                    "DBUS_SESSION_BUS_ADDRESS": "unix:path=" + os.path.join(self.runtime, "bus")}
        # Settings, caches and state of every program here stay inside this session.
        for name in ("CONFIG_HOME", "CACHE_HOME", "DATA_HOME", "STATE_HOME"):
            self.env["XDG_" + name] = os.path.join(self.home, name.lower())

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
        """What the compositor printed, its scripts' print() included."""
        with open(self.path("kwin.log"), "rb") as f:
            return f.read().decode(errors="replace")

    def _own(self, path, mode):
        os.chown(path, self.user.pw_uid, self.user.pw_gid)
        os.chmod(path, mode)

    def write_file(self, name, text, mode=0o644):
        """A file in the session's folder that the compositor's user can read."""
        with open(self.path(name), "w") as f:
            f.write(text)
        self._own(self.path(name), mode)
        return self.path(name)

    def as_user(self, args):
        """A command line that runs args as the session's user, with its environment and nothing of
        ours; setpriv execs in place, so the process started is the program itself."""
        return (["setpriv", f"--reuid={self.user.pw_uid}", f"--regid={self.user.pw_gid}", "--init-groups", "--",
                 "env", "-i"] + [f"{k}={v}" for k, v in self.env.items()] + args)

    def start(self):
        self._own(self.dir, 0o755)
        for folder in [self.runtime, self.home] + [self.env["XDG_" + n] for n in
                                                   ("CONFIG_HOME", "CACHE_HOME", "DATA_HOME", "STATE_HOME")]:
            os.mkdir(folder)
            self._own(folder, 0o700 if folder == self.runtime else 0o755)
        # The installed binary carries the file capability cap_sys_resource, which this machine's
        # bounding set lacks, so exec fails; KWin's platform code only accepts a binary at its
        # installed path, so a copy without the capability is mounted over it in a mount namespace
        # of the session's own.
        shutil.copyfile(KWIN, self.path("kwin_wayland"))
        self._own(self.path("kwin_wayland"), 0o755)
        config = self.write_file("bus.conf", BUS_CONFIG.format(socket=os.path.join(self.runtime, "bus")))
        # QPainter compositing: there is no GPU. The tests move the pointer through KWin's fake
        # input interface, which KWin otherwise offers only to programs whose desktop file asks for
        # it; nothing else here needs the permission checks off.
        kwin = ["dbus-run-session", f"--config-file={config}", "--", "env", "KWIN_COMPOSE=Q",
                "KWIN_WAYLAND_NO_PERMISSION_CHECKS=1", "kwin_wayland",
                "--virtual", "--socket", SOCKET, "--width", str(self.width), "--height", str(self.height),
                "--output-count", str(self.outputs), "--scale", str(self.scale),
                "--no-lockscreen", "--no-global-shortcuts", "--no-kactivities"]
        kwin += ["--xwayland"] if self.xwayland else []
        script = 'mount --bind "$0" ' + KWIN + ' && exec "$@"'
        started = time.monotonic()
        with open(self.path("kwin.log"), "ab") as log:
            # A session of its own: bus-activated helpers outlive the bus's runner, and the whole
            # group is ended at the stop.
            self.proc = subprocess.Popen(["unshare", "-m", "--propagation", "private", "sh", "-c", script,
                                          self.path("kwin_wayland")] + self.as_user(kwin),
                                         stdin=subprocess.DEVNULL, stdout=log, stderr=log, start_new_session=True)
        self.env["WAYLAND_DISPLAY"] = SOCKET
        wait_until(lambda: self.proc.poll() is not None or os.path.exists(os.path.join(self.runtime, "bus")), 30,
                   "the session bus")
        wait_until(lambda: self.proc.poll() is not None or self._kwin_ready(), 60, "KWin to start")
        if self.proc.poll() is not None:
            raise RuntimeError("kwin_wayland ended at its start: " + self.log()[-2000:])
        if self.xwayland:
            self.env["DISPLAY"] = wait_until(self._xwayland_display, 30, "Xwayland to start")
        self.startup_seconds = time.monotonic() - started
        return self

    def _xwayland_display(self):
        """The display Xwayland of this session serves (":N" from its command line), once it runs."""
        for pid, name in group_members(self.proc.pid).items():
            if name == "Xwayland":
                try:
                    with open(f"/proc/{pid}/cmdline", "rb") as f:
                        args = f.read().decode().split("\0")
                except OSError:
                    continue
                return next((arg for arg in args if arg.startswith(":")), None)
        return None

    def _kwin_ready(self):
        """The Wayland socket is there and KWin answers on the bus with its scripting object."""
        if not os.path.exists(os.path.join(self.runtime, SOCKET)):
            return False
        try:
            if self.bus is None:
                self.bus = Gio.DBusConnection.new_for_address_sync(
                    self.env["DBUS_SESSION_BUS_ADDRESS"],
                    Gio.DBusConnectionFlags.AUTHENTICATION_CLIENT | Gio.DBusConnectionFlags.MESSAGE_BUS_CONNECTION,
                    None, None)
            xml = self.call("/Scripting", "org.freedesktop.DBus.Introspectable", "Introspect", None)[0]
            return "loadScript" in xml
        except GLib.Error:
            return False

    def call(self, path, interface, method, args, destination="org.kde.KWin", timeout=10.0):
        """A method call on the session bus; returns the reply's values."""
        reply = self.bus.call_sync(destination, path, interface, method, args, None, Gio.DBusCallFlags.NONE,
                                   int(timeout * 1000), None)
        return reply.unpack() if reply is not None else ()

    # --- KWin scripts -----------------------------------------------------------------------------

    def script_path(self, script_id):
        """KWin 5.27 puts a loaded script's object at /N; Plasma 6 at /Scripting/ScriptN."""
        xml = self.call("/Scripting", "org.freedesktop.DBus.Introspectable", "Introspect", None)[0]
        return f"/Scripting/Script{script_id}" if f'name="Script{script_id}"' in xml else f"/{script_id}"

    def load_script(self, path, plugin):
        """Loads and runs a script under a plugin name; returns KWin's id for it."""
        script_id = self.call("/Scripting", "org.kde.kwin.Scripting", "loadScript",
                              GLib.Variant("(ss)", (path, plugin)))[0]
        if script_id < 0:
            raise RuntimeError(f"KWin refused the script {path} ({plugin}): {script_id}")
        self.call(self.script_path(script_id), "org.kde.kwin.Script", "run", None)
        # KWin 5.27 numbers a script by how many are loaded: after an unload the number may be a
        # running script's, whose object then takes the run. This runs every loaded script that is
        # not running, this one included.
        self.call("/Scripting", "org.kde.kwin.Scripting", "start", None)
        return script_id

    def unload_script(self, plugin):
        return self.call("/Scripting", "org.kde.kwin.Scripting", "unloadScript", GLib.Variant("(s)", (plugin,)))[0]

    def script_loaded(self, plugin):
        return self.call("/Scripting", "org.kde.kwin.Scripting", "isScriptLoaded", GLib.Variant("(s)", (plugin,)))[0]

    def one_shot(self, source, timeout=10.0):
        """Runs a script that prints a marker line when done; returns what follows the marker."""
        marker = "SIZEWISE-" + uuid.uuid4().hex
        plugin = "sizewise-oneshot-" + marker[-12:]
        path = self.write_file(plugin + ".js", source.replace("%(marker)s", marker))
        self.load_script(path, plugin)
        try:
            line = wait_until(lambda: next((line for line in self.log().splitlines() if marker in line), None),
                              timeout, "a one-shot script's answer")
        finally:
            self.unload_script(plugin)
            os.remove(path)
        return line.split(marker, 1)[1].strip()

    def windows(self):
        """Every window as the compositor itself sees it: id, caption, pid, frame [x, y, w, h], the
        buffer behind it, minimized, keepAbove, active and the area a maximised one would fill."""
        return json.loads(self.one_shot(PROBE_SCRIPT))

    def window(self, window_id):
        return next((w for w in self.windows() if w["id"] == window_id), None)

    def move_window(self, window_id, x, y, w, h, steps=1):
        """Sets a window's frame from inside the compositor, as a user's drag would end up; with
        steps, in that many moves from 0, 0 on, all in one go as a fast drag would."""
        moves = "\n".join(MOVE_SCRIPT % {"id": json.dumps(window_id), "x": x * i // steps, "y": y * i // steps,
                                         "w": w, "h": h} for i in range(1, steps + 1))
        self.one_shot("var windows, i;\n" + moves + '\nprint("%(marker)s");')

    # --- foreign windows ---------------------------------------------------------------------------

    def spawn(self, args, name, stdin=subprocess.DEVNULL):
        """A client of this session as its user, in a process group of its own."""
        with open(self.path(name + ".log"), "ab") as log:
            proc = subprocess.Popen(self.as_user(args), stdin=stdin, stdout=log, stderr=log, start_new_session=True)
        self.clients.append(proc)
        return proc

    def terminal(self, title):
        """A weston-terminal with this title; returns its process (whose pid KWin reports for the
        window) and a function that gives it a new title."""
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
        """A Qt 6 window (tests/wayland/qt_window.py) with this title; returns its process and a
        function that gives it a new title."""
        script = self.path("qt_window.py")
        if not os.path.exists(script):  # a copy the session's user can read wherever the tests are
            with open(os.path.join(os.path.dirname(os.path.abspath(__file__)), "qt_window.py")) as f:
                self.write_file("qt_window.py", f.read())
        proc = self.spawn(["/usr/bin/python3", script, title] + (["--frameless"] if frameless else []), "qt",
                          stdin=subprocess.PIPE)

        def retitle(new_title):
            proc.stdin.write(new_title.encode() + b"\n")
            proc.stdin.flush()
        return proc, retitle

    def wait_window(self, pid, caption=None, timeout=20.0):
        """The compositor's view of the window of this process (with this caption), once mapped."""
        return wait_until(lambda: next((w for w in self.windows() if w["pid"] == pid and
                                        (caption is None or w["caption"] == caption)), None),
                          timeout, f"the window of process {pid}")

    def stop(self):
        for proc in self.clients:
            end_group(proc.pid)
            proc.wait()
            if proc.stdin:
                proc.stdin.close()
        if self.proc is not None:
            # dbus-run-session ends its bus once KWin has ended.
            end_group(self.proc.pid, first="kwin_wayland")
            self.proc.wait()
        if self.bus is not None and not self.bus.is_closed():
            self.bus.close_sync(None)
        shutil.rmtree(self.dir, ignore_errors=True)


if __name__ == "__main__":
    if len(sys.argv) < 3 or sys.argv[1] != "--":
        sys.exit(__doc__)
    with KwinSession() as session:
        print(f"kwin_session: up in {session.startup_seconds:.2f} s", file=sys.stderr)
        sys.exit(subprocess.run(sys.argv[2:], env=dict(os.environ, **session.env)).returncode)
