"""Sizewise's GNOME Shell extension (platform/gnome/extension) in a headless GNOME Shell with
weston-terminal and Qt 6 windows, called as Sizewise would over the session bus, where the backend
contract (tests/gnome) does not look: its interface as declared, a fast drag coalesced, a monitor
reconfiguration, callers of other users refused, the pointer polled only while watched, and no
error in the Shell's log. Prints the latencies it measured. Run as root:
/usr/bin/python3 -m unittest tests/wayland/test_gnome_extension.py"""

import os
import statistics
import subprocess
import sys
import threading
import time
import unittest

from gi.repository import Gio, GLib

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(HERE, "..", "..", "scripts"))
from gnome_session import EXTENSION_UUID, GnomeSession, wait_until  # noqa: E402

NAME = "io.github.sizewise.Shell"
PATH = "/io/github/sizewise/Shell"
INTERFACE = "io.github.sizewise.Shell1"


def frame(window):
    return [window["x"], window["y"], window["width"], window["height"]]


class ShellClient:
    """Sizewise's side: calls the extension and records its signals (with the time each came), on a
    connection of its own served by a thread."""

    def __init__(self, address):
        self.cond = threading.Condition()
        self.events = []  # (monotonic time, signal name, arguments)
        self.context, self.loop = GLib.MainContext.new(), None
        self.ready = threading.Event()
        self.thread = threading.Thread(target=self._run, args=(address,), daemon=True)
        self.thread.start()
        if not self.ready.wait(10):
            raise RuntimeError("the client could not connect")

    def _run(self, address):
        self.context.push_thread_default()
        self.loop = GLib.MainLoop.new(self.context, False)
        self.bus = Gio.DBusConnection.new_for_address_sync(
            address, Gio.DBusConnectionFlags.AUTHENTICATION_CLIENT | Gio.DBusConnectionFlags.MESSAGE_BUS_CONNECTION,
            None, None)
        self.bus.signal_subscribe(None, INTERFACE, None, PATH, None, Gio.DBusSignalFlags.NONE, self._on_signal)
        self.ready.set()
        self.loop.run()
        self.context.pop_thread_default()

    def _on_signal(self, bus, sender, path, interface, name, parameters):
        with self.cond:
            self.events.append((time.monotonic(), name, parameters.unpack()))
            self.cond.notify_all()

    def close(self):
        self.bus.close_sync(None)
        self.loop.quit()
        self.thread.join(5)

    def call(self, method, signature=None, *args, timeout=10.0):
        reply = self.bus.call_sync(NAME, PATH, INTERFACE, method, GLib.Variant(signature, args) if signature else None,
                                   None, Gio.DBusCallFlags.NONE, int(timeout * 1000), None)
        values = reply.unpack() if reply is not None else ()
        return values[0] if len(values) == 1 else values

    def property(self, name):
        return self.bus.call_sync(NAME, PATH, "org.freedesktop.DBus.Properties", "Get",
                                  GLib.Variant("(ss)", (INTERFACE, name)), None, Gio.DBusCallFlags.NONE, 10000,
                                  None).unpack()[0]

    def wait(self, predicate, timeout=10.0, what="a signal"):
        """Waits until predicate() (called under the lock) gives something true, and returns it."""
        with self.cond:
            value = self.cond.wait_for(predicate, timeout)
        if not value:
            raise AssertionError(f"timed out after {timeout} s waiting for {what}")
        return value

    def signal(self, name, test=lambda args: True, after=0.0, timeout=10.0):
        """The first signal of this name after a moment whose arguments pass the test: (time, args)."""
        def found():
            return next(((at, args) for at, signal, args in self.events
                         if signal == name and at > after and test(args)), None)
        try:
            return self.wait(found, timeout, name)
        except AssertionError as e:
            with self.cond:
                seen = [args for at, signal, args in self.events if signal == name and at > after]
            raise AssertionError(f"{e}; came instead: {seen[-5:]}") from None

    def window_changed(self, window_id, test=lambda w: True, after=0.0, timeout=10.0):
        """The first WindowChanged of a window after a moment that passes the test: (time, window)."""
        at, (_, window) = self.signal("WindowChanged", lambda args: args[0] == window_id and test(args[1]), after,
                                      timeout)
        return at, window


class GnomeExtension(unittest.TestCase):
    latencies = {}

    @classmethod
    def setUpClass(cls):
        cls.session = GnomeSession().__enter__()
        try:
            cls.client = ShellClient(cls.session.env["DBUS_SESSION_BUS_ADDRESS"])
            # One of Sizewise's own windows, a frameless Qt 6 one as its rulers are, in a process of
            # its own as a stand-in for Sizewise; then the target, a foreign terminal.
            cls.own, retitle_own = cls.session.qt_window("Sizewise rulers", frameless=True)
            cls.retitle_own = staticmethod(retitle_own)
            cls.own_id = int(cls.session.wait_window(cls.own.pid, "Sizewise rulers")["id"])
            cls.target, retitle_target = cls.session.terminal("Target")
            cls.retitle_target = staticmethod(retitle_target)
            cls.target_id = int(cls.session.wait_window(cls.target.pid, "Target")["id"])
            cls.client.call("SetOwnProcesses", "(au)", [cls.own.pid])
        except BaseException:
            cls.tearDownClass()
            raise

    @classmethod
    def tearDownClass(cls):
        if getattr(cls, "client", None):
            cls.client.close()
        cls.session.__exit__(None, None, None)
        print(f"\nGNOME Shell up (extension's name owned) in {cls.session.startup_seconds * 1000:.0f} ms; "
              f"its session ended with status {cls.session.exit_status}", file=sys.stderr)
        for name, values in sorted(cls.latencies.items()):
            ms = sorted(v * 1000 for v in values)
            print(f"{name}: n={len(ms)} median {statistics.median(ms):.1f} ms, max {ms[-1]:.1f} ms", file=sys.stderr)

    def setUp(self):
        # Each test starts with the target shown, normal and active: a headless Shell focuses no
        # new window by itself.
        self.call("Unminimize", "(t)", self.target_id)
        self.call("Unmaximize", "(t)", self.target_id)
        self.call("Activate", "(t)", self.target_id)
        wait_until(lambda: self.shell(self.target_id)["active"] and not self.shell(self.target_id)["minimized"]
                   and not self.shell(self.target_id)["maximizedHorizontally"], 10, "the target to be active")

    # --- helpers -----------------------------------------------------------------------------------------

    def call(self, method, signature=None, *args):
        return self.client.call(method, signature, *args)

    def shell(self, window_id):
        """The Shell's own answer for a window."""
        return self.session.window(window_id)

    def measure(self, name, since, at):
        self.latencies.setdefault(name, []).append(at - since)

    def place(self, window_id, x, y, w, h):
        """Places a window and returns what landed, once WindowChanged says it is at (x, y)."""
        started = time.monotonic()
        self.call("Place", "(tiiii)", window_id, x, y, w, h)
        at, window = self.client.window_changed(window_id, lambda w: (w["x"], w["y"]) == (x, y) and
                                                w["state"] == "normal", started)
        self.measure("Place -> WindowChanged", started, at)
        return window

    # --- the tests -----------------------------------------------------------------------------------------

    def test_version_and_introspection(self):
        self.assertEqual(self.client.property("Version"), 2)
        self.assertRegex(self.client.property("ShellVersion"), r"^4[34]\.")
        xml = self.client.bus.call_sync(NAME, PATH, "org.freedesktop.DBus.Introspectable", "Introspect", None, None,
                                        Gio.DBusCallFlags.NONE, 10000, None).unpack()[0]
        served = Gio.DBusNodeInfo.new_for_xml(xml).lookup_interface(INTERFACE)
        with open(os.path.join(HERE, "..", "..", "platform", "gnome", "extension",
                               "io.github.sizewise.Shell1.xml")) as f:
            declared = Gio.DBusNodeInfo.new_for_xml(f.read()).lookup_interface(INTERFACE)
        self.assertEqual(sorted(m.name for m in served.methods), sorted(m.name for m in declared.methods))
        self.assertEqual(sorted(s.name for s in served.signals), sorted(s.name for s in declared.signals))

    def test_own_windows_are_told_apart(self):
        own = self.call("GetWindow", "(t)", self.own_id)
        self.assertEqual((own["own"], own["pid"], own["title"]), (True, self.own.pid, "Sizewise rulers"))
        self.assertEqual(frame(own), self.shell(self.own_id)["frame"])
        self.assertFalse(self.call("GetWindow", "(t)", self.target_id)["own"])

    def test_a_fast_drag_by_the_shell_comes_coalesced_the_last_frame_right(self):
        self.place(self.target_id, 0, 40, 598, 395)
        before = sum(1 for _, name, args in self.client.events if name == "WindowChanged")
        started = time.monotonic()
        # 100 moves in one go, as the Shell would make them during a fast drag.
        self.session.eval(f"(() => {{ const w = global.get_window_actors().map(a => a.meta_window)"
                          f".find(w => w.get_id() == {self.target_id}); "
                          f"for (let i = 1; i <= 100; ++i) w.move_frame(true, 4 * i, 40 + 3 * i); }})()")
        at, window = self.client.window_changed(self.target_id, lambda w: (w["x"], w["y"]) == (400, 340), started)
        self.assertEqual(frame(window), self.shell(self.target_id)["frame"])
        count = sum(1 for _, name, args in self.client.events if name == "WindowChanged") - before
        print(f"\n100 moves in one go by the Shell: {count} WindowChanged", file=sys.stderr)
        self.assertLess(count, 100)

    def test_a_monitor_reconfiguration_is_signalled(self):
        # The headless virtual monitor takes no other scale or size (Mutter refuses scale 2 for
        # 1280 x 800) and adding a monitor needs PipeWire: the same layout is applied again, which
        # Mutter carries out as a reconfiguration all the same.
        display_config = ("org.gnome.Mutter.DisplayConfig", "/org/gnome/Mutter/DisplayConfig",
                          "org.gnome.Mutter.DisplayConfig")
        serial, monitors, _, _ = self.session.call(*display_config, "GetCurrentState")
        connector, mode = monitors[0][0][0], monitors[0][1][0][0]
        started = time.monotonic()
        self.session.call(*display_config, "ApplyMonitorsConfig", GLib.Variant(
            "(uua(iiduba(ssa{sv}))a{sv})", (serial, 1, [(0, 0, 1.0, 0, True, [(connector, mode, {})])], {})))
        at, (monitors,) = self.client.signal("MonitorsChanged", after=started)
        self.measure("monitors reconfigured -> MonitorsChanged", started, at)
        self.assertEqual(monitors, [(0, 0, 1280, 800, 1.0, True)])

    def test_another_user_is_refused(self):
        def as_nobody(address):
            return subprocess.run(["setpriv", "--reuid=65534", "--regid=65534", "--clear-groups", "--",
                                   "gdbus", "call", "--address", address, "--dest", NAME, "--object-path", PATH,
                                   "--method", INTERFACE + ".GetActiveWindow"], capture_output=True, text=True,
                                  timeout=20)
        # The session bus's socket is in the user's runtime directory: nobody else gets in.
        result = as_nobody(self.session.env["DBUS_SESSION_BUS_ADDRESS"])
        self.assertNotEqual(result.returncode, 0)
        self.assertIn("Permission denied", result.stderr)
        # Through an address other users can reach, the extension itself refuses them.
        result = as_nobody(self.session.others_address)
        self.assertNotEqual(result.returncode, 0)
        self.assertIn("AccessDenied", result.stderr)
        as_user = self.session.run_as_user(["gdbus", "call", "--session", "--dest", NAME, "--object-path", PATH,
                                            "--method", INTERFACE + ".GetWindow", str(self.target_id)])
        self.assertEqual(as_user.returncode, 0, as_user.stderr)
        self.assertIn("'Target'", as_user.stdout)

    def test_pointer_watch_ends_with_the_watcher(self):
        service = f"imports.ui.main.extensionManager.lookup('{EXTENSION_UUID}').stateObj._service"
        other = ShellClient(self.session.env["DBUS_SESSION_BUS_ADDRESS"])
        other.call("WatchPointer", "(b)", True)
        self.assertTrue(self.session.eval(f"!!{service}._pointerTimer"))
        other.close()
        wait_until(lambda: not self.session.eval(f"!!{service}._pointerTimer"), 5, "the polling to stop")

    def test_zzz_the_shell_logged_no_error_of_the_extension(self):
        # Last: an exception in a signal handler or an idle callback reaches no caller, only the
        # Shell's log, as "JS ERROR" followed by a stack with the extension's files in it.
        log = self.session.log()
        self.assertNotIn(EXTENSION_UUID + "/", log)
        self.assertNotIn("JS ERROR", log)


if __name__ == "__main__":
    unittest.main()
