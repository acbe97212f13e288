"""A private headless KWin (kwin_wayland --virtual, no GPU) for the tests of Sizewise's KWin script:
its own user, runtime directory and session bus, foreign windows (weston-terminal) on request, and
the compositor's own answer for where each window is. As a command it runs a program in such a
session and exits with its status: kwin_session.py -- PROGRAM ARGS..."""

import json
import os
import shutil
import subprocess
import time
import uuid

from gi.repository import Gio, GLib

from compositor_session import CompositorSession, end_group, save_image, wait_until

KWIN = "/usr/bin/kwin_wayland"
USER = "sizewise-kwin"
SOCKET = "wayland-sizewise"

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


class KwinSession(CompositorSession):
    LOG = "kwin.log"
    TITLE = "caption"

    def __init__(self, width=1280, height=800, outputs=1, scale=1, xwayland=False, opengl=False):
        """outputs: how many monitors of width x height, which KWin's virtual backend puts side by
        side; scale: their scale factor (window frames are then in logical pixels); xwayland: KWin
        starts Xwayland too, and DISPLAY names it in env; opengl: KWin composites with OpenGL (Mesa's
        software renderer here), which its screenshots need, rather than QPainter."""
        super().__init__(USER, width, height)
        self.outputs, self.scale, self.xwayland, self.opengl = outputs, scale, xwayland, opengl

    def start(self):
        self._make_folders()
        # The installed binary carries the file capability cap_sys_resource, which this machine's
        # bounding set lacks, so exec fails; KWin's platform code only accepts a binary at its
        # installed path, so a copy without the capability is mounted over it in a mount namespace
        # of the session's own.
        shutil.copyfile(KWIN, self.path("kwin_wayland"))
        self._own(self.path("kwin_wayland"), 0o755)
        config = self.bus_config()
        # QPainter compositing unless asked: there is no GPU. The tests move the pointer through
        # KWin's fake input interface and take screenshots, which KWin otherwise offers only to
        # programs whose desktop file asks for them.
        kwin = ["dbus-run-session", f"--config-file={config}", "--", "env",
                "KWIN_COMPOSE=" + ("O2" if self.opengl else "Q"), "KWIN_SCREENSHOT_NO_PERMISSION_CHECKS=1",
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
            self.use_xwayland()
        self.startup_seconds = time.monotonic() - started
        return self

    def _kwin_ready(self):
        """The Wayland socket is there and KWin answers on the bus with its scripting object."""
        if not os.path.exists(os.path.join(self.runtime, SOCKET)):
            return False
        try:
            if self.bus is None:
                self.bus = self.connect_bus()
            xml = self.call("/Scripting", "org.freedesktop.DBus.Introspectable", "Introspect", None)[0]
            return "loadScript" in xml
        except GLib.Error:
            return False

    def call(self, path, interface, method, args, destination="org.kde.KWin", timeout=10.0):
        """A method call on the session bus; returns the reply's values."""
        reply = self.bus.call_sync(destination, path, interface, method, args, None, 0,
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

    def screenshot(self, path):
        """The whole screen as KWin composites it, saved as a PNG (needs opengl)."""
        read, write = os.pipe()
        fds = Gio.UnixFDList.new()
        fds.append(write)  # a copy, which the list closes when it goes
        os.close(write)
        try:
            reply, _ = self.bus.call_with_unix_fd_list_sync(
                "org.kde.KWin", "/org/kde/KWin/ScreenShot2", "org.kde.KWin.ScreenShot2", "CaptureWorkspace",
                GLib.Variant("(a{sv}h)", ({}, 0)), GLib.VariantType("(a{sv})"), 0, 10000, fds, None)
        finally:
            del fds  # KWin's end is then the pipe's last writer: the read ends when KWin is done
        with os.fdopen(read, "rb") as pipe:
            data = pipe.read()
        save_image(path, data, reply.unpack()[0])

    def stop(self):
        self.stop_clients()
        if self.proc is not None:
            # dbus-run-session ends its bus once KWin has ended.
            end_group(self.proc.pid, first="kwin_wayland")
            self.exit_status = self.proc.wait()
        self.close_bus()
        shutil.rmtree(self.dir, ignore_errors=True)


if __name__ == "__main__":
    KwinSession().run_command("kwin_session")
