"""Sizewise's KWin script (platform/kwin/sizewise.js) in a headless KWin with weston-terminal windows,
against a Python stand-in for Sizewise's side: what it reports agrees with the compositor's own
answer, commands land, and its silence is noticed. Prints the latencies it measured. Run as root:
/usr/bin/python3 -m unittest tests/wayland/test_kwin_script.py"""

import os
import shutil
import statistics
import subprocess
import sys
import time
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
from fake_pointer import PointerDevice  # noqa: E402
from kwin_session import KwinSession, wait_until  # noqa: E402
from sizewise_standin import SizewiseStandIn  # noqa: E402

SCRIPT = os.path.join(HERE, "..", "..", "platform", "kwin", "sizewise.js")
PLUGIN = "sizewise"
# How long a live script takes at most to ask again once its poll is answered; measured in
# milliseconds here, so a script silent for this long is taken for gone.
ANSWER_SECONDS = 2.0


def frame(report):
    return [report["x"], report["y"], report["w"], report["h"]]


def have_pyqt6():
    return subprocess.run(["/usr/bin/python3", "-c", "import PyQt6.QtWidgets"], capture_output=True).returncode == 0


@unittest.skipUnless(shutil.which("kwin_wayland") and shutil.which("weston-terminal") and os.geteuid() == 0 and
                     have_pyqt6(), "needs root, kwin-wayland, weston, python3-pyqt6 and qt6-wayland")
class KWinScript(unittest.TestCase):
    latencies = {}

    @classmethod
    def setUpClass(cls):
        cls.session = KwinSession().__enter__()
        try:
            # One of Sizewise's own windows first, a frameless Qt 6 one as its rulers are, so that
            # the target, opened last, is active.
            cls.own, retitle_own = cls.session.qt_window("Sizewise rulers", frameless=True)
            cls.retitle_own = staticmethod(retitle_own)
            cls.own_id = cls.session.wait_window(cls.own.pid, "Sizewise rulers")["id"]
            cls.target, retitle_target = cls.session.terminal("Target")
            cls.retitle_target = staticmethod(retitle_target)
            cls.target_id = cls.session.wait_window(cls.target.pid, "Target")["id"]
            cls.sizewise = None
            cls.start_sizewise()
            with open(SCRIPT) as f:
                cls.script = cls.session.write_file("sizewise.js", f.read())
            cls.load()
        except BaseException:
            cls.tearDownClass()
            raise

    @classmethod
    def tearDownClass(cls):
        if cls.sizewise:
            cls.sizewise.stop()
        cls.session.__exit__(None, None, None)
        print(f"\nKWin up in {cls.session.startup_seconds * 1000:.0f} ms", file=sys.stderr)
        for name, values in sorted(cls.latencies.items()):
            ms = sorted(v * 1000 for v in values)
            print(f"{name}: n={len(ms)} median {statistics.median(ms):.1f} ms, max {ms[-1]:.1f} ms", file=sys.stderr)

    @classmethod
    def start_sizewise(cls):
        cls.sizewise = SizewiseStandIn(cls.session.env["DBUS_SESSION_BUS_ADDRESS"], pids=[cls.own.pid]).start()

    @classmethod
    def load(cls):
        """Loads and runs the script; returns once it has said hello and asks for commands."""
        sizewise, hellos = cls.sizewise, cls.hellos()
        started = time.monotonic()
        cls.session.load_script(cls.script, PLUGIN)
        sizewise.wait(lambda: sizewise.held and cls.hellos() > hellos, 10, "the script to start")
        cls.latencies.setdefault("load script -> first poll", []).append(time.monotonic() - started)

    @classmethod
    def hellos(cls):
        return sum(1 for _, method, _ in cls.sizewise.reports if method == "Hello")

    def setUp(self):
        if not self.session.script_loaded(PLUGIN):
            self.load()
        # Each test starts with the target shown, normal and active.
        for op in ("restore", "restore", "activate"):
            self.command(op, id=self.target_id)
        self.report(self.target_id, lambda w: not w["minimized"] and w["maximized"] == "none")
        self.sizewise.wait(lambda: self.sizewise.active == self.target_id, 10, "the target to be active")

    # --- helpers ----------------------------------------------------------------------------------------

    def command(self, op, **args):
        seq = self.sizewise.command(op, **args)
        result = self.sizewise.result(seq)
        self.assertTrue(result["ok"], result)
        return seq

    def report(self, window_id, test=lambda w: True, after=0.0, timeout=10.0):
        """The latest report of a window once it passes the test, received after a moment."""
        def latest():
            window = self.sizewise.windows.get(window_id)
            return window if window and window["at"] > after and test(window) else None
        return self.sizewise.wait(latest, timeout, f"a report of {window_id}")

    def measure(self, name, seq, report):
        self.latencies.setdefault(name, []).append(report["at"] - self.sizewise.answered[seq])

    def place(self, window_id, x, y, w, h):
        """Places a window and returns the report of what landed, once it is at (x, y) and neither
        minimised nor maximised: a frame and a state that change together come as two reports."""
        seq = self.command("place", id=window_id, x=x, y=y, w=w, h=h)
        report = self.report(window_id, lambda r: (r["x"], r["y"]) == (x, y) and r["maximized"] == "none" and
                             not r["minimized"], self.sizewise.answered[seq])
        self.measure("place -> report", seq, report)
        return report

    def compositor(self, window_id):
        return self.session.window(window_id)

    # --- the tests -----------------------------------------------------------------------------------------

    def test_active_window_is_reported_as_the_compositor_sees_it(self):
        report = self.report(self.target_id)
        seen = self.compositor(self.target_id)
        self.assertEqual(self.sizewise.active, self.target_id)
        self.assertEqual(frame(report), seen["frame"])
        self.assertEqual((report["caption"], report["pid"], report["own"], report["minimized"], report["maximized"]),
                         ("Target", self.target.pid, False, False, "none"))
        self.assertTrue(seen["active"])
        self.assertEqual(self.sizewise.hello["protocol"], 1)
        # weston-terminal draws its own decorations: KWin's frame is the window geometry the client
        # gave, its title bar included and the shadow around it left out.
        print(f"\nweston-terminal: frame {seen['frame']}, buffer {seen['buffer']}, noBorder {seen['noBorder']}",
              file=sys.stderr)

    def test_own_windows_are_told_apart(self):
        self.command("describe", id=self.own_id)
        report = self.report(self.own_id, lambda w: w["own"])
        self.assertEqual((frame(report), report["pid"]), (self.compositor(self.own_id)["frame"], self.own.pid))
        self.assertFalse(self.sizewise.windows[self.target_id]["own"])

    def test_a_place_lands_exactly_and_is_reported(self):
        # The terminal rounds its size to whole character cells: the size it takes is then asked for again.
        landed = self.place(self.target_id, 40, 30, 600, 400)
        self.assertEqual(frame(landed), self.compositor(self.target_id)["frame"])
        for x, y in ((0, 0), (333, 222), (1280 - landed["w"], 800 - landed["h"]), (-50, 700), (17, 9)):
            report = self.place(self.target_id, x, y, landed["w"], landed["h"])
            self.assertEqual(frame(report), [x, y, landed["w"], landed["h"]])
            self.assertEqual(frame(report), self.compositor(self.target_id)["frame"])

    def test_place_restores_a_maximised_window_first(self):
        seq = self.command("maximize", id=self.target_id)
        self.report(self.target_id, lambda w: w["maximized"] == "full" and w["w"] == 1280, self.sizewise.answered[seq])
        report = self.place(self.target_id, 100, 100, 598, 395)
        self.assertEqual(report["maximized"], "none")
        self.assertEqual(frame(report), self.compositor(self.target_id)["frame"])

    def test_minimise_restore_maximise(self):
        before = self.report(self.target_id)
        seq = self.command("minimize", id=self.target_id)
        report = self.report(self.target_id, lambda w: w["minimized"], self.sizewise.answered[seq])
        self.measure("minimize -> report", seq, report)
        self.assertTrue(self.compositor(self.target_id)["minimized"])
        self.assertEqual(frame(report), frame(before))  # the frame it gets back

        seq = self.command("restore", id=self.target_id)
        report = self.report(self.target_id, lambda w: not w["minimized"], self.sizewise.answered[seq])
        self.measure("restore -> report", seq, report)
        self.assertFalse(self.compositor(self.target_id)["minimized"])

        seq = self.command("maximize", id=self.target_id)
        report = self.report(self.target_id, lambda w: w["maximized"] == "full" and frame(w) != frame(before),
                             self.sizewise.answered[seq])
        self.measure("maximize -> report of the new frame", seq, report)
        seen = self.compositor(self.target_id)
        self.assertEqual(frame(report), seen["frame"])
        self.assertEqual(seen["frame"], seen["maximizeArea"])

        seq = self.command("restore", id=self.target_id)
        report = self.report(self.target_id, lambda w: w["maximized"] == "none" and frame(w) == frame(before),
                             self.sizewise.answered[seq])
        self.measure("unmaximize -> report of the old frame", seq, report)
        self.assertEqual(frame(report), self.compositor(self.target_id)["frame"])

    def test_activation_is_reported(self):
        seq = self.command("activate", id=self.own_id)
        self.sizewise.wait(lambda: self.sizewise.active == self.own_id, 10, "the own window to be active")
        changed = next(at for at, method, message in reversed(self.sizewise.reports)
                       if method == "Changed" and message["active"] == self.own_id)
        self.latencies.setdefault("activate -> report", []).append(changed - self.sizewise.answered[seq])
        self.assertTrue(self.compositor(self.own_id)["active"])
        self.command("activate", id=self.target_id)
        self.sizewise.wait(lambda: self.sizewise.active == self.target_id, 10, "the target to be active again")

    def test_a_server_side_decorated_qt_window_lands_exactly_title_bar_included(self):
        proc, _ = self.session.qt_window("Decorated by KWin")
        try:
            window_id = self.session.wait_window(proc.pid, "Decorated by KWin")["id"]
            report = self.place(window_id, 120, 80, 500, 300)
            self.assertEqual(frame(report), [120, 80, 500, 300])
            seen = self.compositor(window_id)
            self.assertEqual(seen["frame"], [120, 80, 500, 300])
            # With a decoration plugin (kwin-style-breeze) KWin draws the title bar, and the frame
            # holds it above the client's own surface; without one there is no title bar at all.
            print(f"\nQt 6 window: frame {seen['frame']}, client surface {seen['buffer']}", file=sys.stderr)
            if os.path.exists("/usr/lib/x86_64-linux-gnu/qt5/plugins/org.kde.kdecoration2/breezedecoration.so"):
                self.assertEqual(seen["buffer"][0::2], [120, 500])
                self.assertEqual(seen["buffer"][1] + seen["buffer"][3], 80 + 300)
                self.assertGreater(seen["buffer"][1], 80)
        finally:
            proc.terminate()
            proc.wait()

    def test_a_move_by_the_compositor_is_reported(self):
        landed = self.place(self.target_id, 10, 10, 598, 395)
        started = time.monotonic()
        self.session.move_window(self.target_id, 210, 120, landed["w"], landed["h"])
        report = self.report(self.target_id, lambda w: (w["x"], w["y"]) == (210, 120), started)
        self.assertEqual(frame(report), self.compositor(self.target_id)["frame"])

    def test_a_fast_drag_by_the_compositor_comes_coalesced_the_last_frame_right(self):
        landed = self.place(self.target_id, 0, 0, 598, 395)
        before = sum(1 for _, method, _ in self.sizewise.reports if method == "Changed")
        started = time.monotonic()
        self.session.move_window(self.target_id, 400, 300, landed["w"], landed["h"], steps=100)
        report = self.report(self.target_id, lambda w: (w["x"], w["y"]) == (400, 300), started)
        self.assertEqual(frame(report), self.compositor(self.target_id)["frame"])
        count = sum(1 for _, method, _ in self.sizewise.reports if method == "Changed") - before
        print(f"\n100 moves in one go by the compositor: {count} reports", file=sys.stderr)
        self.assertLess(count, 100)

    def test_a_new_title_is_reported(self):
        started = time.monotonic()
        title = "Target, renamed: Größe – 測定"
        self.retitle_target(title)
        try:
            report = self.report(self.target_id, lambda w: w["caption"] == title, started)
            self.assertEqual(report["caption"], self.compositor(self.target_id)["caption"])
        finally:
            self.retitle_target("Target")
            self.report(self.target_id, lambda w: w["caption"] == "Target")

    def test_own_window_is_kept_above_and_placed_without_activation(self):
        seq = self.command("own", pid=self.own.pid, caption="Sizewise rulers", x=500, y=20, w=640, h=24, tool=True)
        report = self.report(self.own_id, lambda w: (w["x"], w["y"]) == (500, 20) and w["keepAbove"],
                             self.sizewise.answered[seq])
        self.measure("own window placed -> report", seq, report)
        seen = self.compositor(self.own_id)
        self.assertEqual(frame(report), [500, 20, 640, 24])
        self.assertEqual((seen["frame"], seen["keepAbove"], seen["skipTaskbar"], seen["skipPager"],
                          seen["skipSwitcher"]), ([500, 20, 640, 24], True, True, True, True))
        self.assertFalse(seen["active"])
        self.assertTrue(self.compositor(self.target_id)["active"])

    def test_own_window_not_there_yet_is_placed_when_it_appears(self):
        seq = self.sizewise.command("own", pid=self.own.pid, caption="Sizewise measure", x=700, y=300, w=24, h=480)
        self.assertEqual(self.sizewise.result(seq), {"seq": seq, "ok": True, "deferred": True})
        started = time.monotonic()
        self.retitle_own("Sizewise measure")
        try:
            report = self.report(self.own_id, lambda w: frame(w) == [700, 300, 24, 480], started)
            self.assertEqual(frame(report), self.compositor(self.own_id)["frame"])
            self.assertTrue(report["keepAbove"])
        finally:
            self.retitle_own("Sizewise rulers")

    def test_unknown_window_and_command_are_refused(self):
        seq = self.sizewise.command("place", id="{00000000-0000-0000-0000-000000000000}", x=0, y=0, w=10, h=10)
        self.assertEqual(self.sizewise.result(seq)["ok"], False)
        seq = self.sizewise.command("shade", id=self.target_id)
        self.assertEqual(self.sizewise.result(seq), {"seq": seq, "ok": False, "error": "unknown command shade"})

    def test_screens_are_reported(self):
        self.command("screens")
        screens = self.sizewise.wait(lambda: self.sizewise.screens)
        self.assertEqual(screens, {"bounds": {"x": 0, "y": 0, "w": 1280, "h": 800},
                                   "screens": [{"x": 0, "y": 0, "w": 1280, "h": 800}]})

    def test_pointer_is_followed(self):
        self.command("pointer", follow=True)
        device = PointerDevice(self.session)
        try:
            for x, y in ((100, 200), (1279, 799), (0, 0), (5000, -20)):
                moved = time.monotonic()
                device.move_to(x, y)
                position = self.sizewise.wait(lambda: self.sizewise.pointer if self.sizewise.pointer["at"] > moved
                                              else None, 5, "the pointer report")
                self.latencies.setdefault("pointer moved -> report", []).append(position["at"] - moved)
                self.assertEqual((position["x"], position["y"]), (min(x, 1279), max(min(y, 799), 0)))
            # A burst: every move reaches KWin, fewer reports may reach Sizewise, the last one right.
            before = sum(1 for _, method, _ in self.sizewise.reports if method == "Pointer")
            for i in range(200):
                device.move_to(300 + i, 400)
            self.sizewise.wait(lambda: (self.sizewise.pointer["x"], self.sizewise.pointer["y"]) == (499, 400), 5,
                               "the last position of the burst")
            count = sum(1 for _, method, _ in self.sizewise.reports if method == "Pointer") - before
            print(f"\n200 pointer moves: {count} reports", file=sys.stderr)
            self.assertLessEqual(count, 200)
        finally:
            device.close()
            self.command("pointer", follow=False)

    def test_a_closed_window_is_reported_gone(self):
        proc, _ = self.session.terminal("Short-lived")
        window_id = self.session.wait_window(proc.pid, "Short-lived")["id"]
        self.command("describe", id=window_id)
        self.report(window_id)
        proc.terminate()
        self.sizewise.wait(lambda: window_id in self.sizewise.gone, 10, "the window to be reported gone")
        self.assertNotIn(window_id, self.sizewise.windows)
        proc.wait()

    def test_unloading_stops_the_reports_and_a_silent_script_is_noticed(self):
        self.assertTrue(self.sizewise.is_answering(ANSWER_SECONDS))
        self.assertTrue(self.session.unload_script(PLUGIN))
        self.assertFalse(self.session.script_loaded(PLUGIN))
        unloaded = time.monotonic()
        self.session.move_window(self.target_id, 60, 70, 598, 395)
        wait_until(lambda: self.compositor(self.target_id)["frame"][:2] == [60, 70], 10, "the move to land")
        # A live script asks again within milliseconds of its answer; this one does not.
        self.assertFalse(self.sizewise.is_answering(ANSWER_SECONDS))
        self.assertEqual([m for at, m, _ in self.sizewise.reports if at > unloaded], [])
        # Loaded again, it starts over and reports the move it missed.
        self.load()
        self.assertEqual(frame(self.report(self.target_id, after=unloaded))[:2], [60, 70])

    def test_script_loaded_before_sizewise_is_silent_until_loaded_again(self):
        # Unloaded first, so that no poll of the old script fails when Sizewise goes.
        self.session.unload_script(PLUGIN)
        self.sizewise.stop()
        errors = self.session.log().count("Received D-Bus message is error")
        self.session.load_script(self.script, PLUGIN)
        # KWin logs the hello that nobody answered; the script then waits for nothing.
        wait_until(lambda: self.session.log().count("Received D-Bus message is error") > errors, 10,
                   "KWin to log the unanswered hello")
        print("\n" + self.session.log().split("Received D-Bus message is error")[-1].strip().splitlines()[0],
              file=sys.stderr)
        self.start_sizewise()
        self.assertIsNone(self.sizewise.hello)
        self.session.unload_script(PLUGIN)
        self.load()
        self.assertEqual(self.sizewise.active, self.target_id)

    def test_poll_held_past_the_dbus_timeout_is_lost_and_asked_again_at_the_next_event(self):
        """KWin's callDBus: an answer after 5 s is taken; one after D-Bus's 25 s is not, KWin logs an
        error and never calls back, so the script asks again at its next event."""
        sizewise = self.sizewise
        sizewise.hold_seconds = 5.0
        try:
            sizewise.is_answering(ANSWER_SECONDS)  # a fresh poll, answered with nothing after 5 s
            held, polls = sizewise.held_since(), len(sizewise.polls)
            sizewise.wait(lambda: len(sizewise.polls) > polls, 10, "the script to ask again after 5 s")
            self.assertAlmostEqual(sizewise.polls[polls] - held, 5, delta=0.5)

            sizewise.hold_seconds = None
            sizewise.is_answering(ANSWER_SECONDS)  # a fresh poll, held from now on
            held, polls = sizewise.held_since(), len(sizewise.polls)
            errors = self.session.log().count("Received D-Bus message is error")
            wait_until(lambda: self.session.log().count("Received D-Bus message is error") > errors, 40,
                       "KWin to give up on the poll")
            given_up = time.monotonic() - held
            print(f"\nKWin gave up on the held poll after {given_up:.2f} s", file=sys.stderr)
            self.assertAlmostEqual(given_up, 25, delta=2)
            seq = sizewise.command("ping")  # too late: KWin no longer listens for this answer
            # The script takes a poll older than 26 s for lost at its next event.
            wait_until(lambda: time.monotonic() - held > 26.2, 3, "the poll to count as lost")
            self.session.move_window(self.target_id, 20, 20, 598, 395)
            sizewise.wait(lambda: len(sizewise.polls) > polls, 10, "the script to ask again")
            self.assertNotIn(seq, sizewise.results)
        finally:
            sizewise.hold_seconds = 20.0
        self.assertTrue(sizewise.is_answering(ANSWER_SECONDS))


@unittest.skipUnless(shutil.which("kwin_wayland") and shutil.which("weston-terminal") and os.geteuid() == 0,
                     "needs root, kwin-wayland and weston")
class KWinScriptTwoMonitors(unittest.TestCase):
    """Two monitors side by side at scale 1.5: KWin gives frames and screens in logical pixels."""

    def test_screens_and_a_window_maximised_on_the_second(self):
        with KwinSession(outputs=2, scale=1.5) as session:
            sizewise = SizewiseStandIn(session.env["DBUS_SESSION_BUS_ADDRESS"]).start()
            try:
                proc, _ = session.terminal("Target")
                window_id = session.wait_window(proc.pid, "Target")["id"]
                with open(SCRIPT) as f:
                    session.load_script(session.write_file("sizewise.js", f.read()), PLUGIN)
                screens = sizewise.wait(lambda: sizewise.held and sizewise.screens, 10, "the screens")
                self.assertEqual(screens, {"bounds": {"x": 0, "y": 0, "w": 2560, "h": 800},
                                           "screens": [{"x": 0, "y": 0, "w": 1280, "h": 800},
                                                       {"x": 1280, "y": 0, "w": 1280, "h": 800}]})
                seq = sizewise.command("place", id=window_id, x=1300, y=10, w=598, h=395)
                sizewise.wait(lambda: sizewise.windows[window_id]["x"] == 1300, 10, "the window on the second")
                seq = sizewise.command("maximize", id=window_id)
                self.assertTrue(sizewise.result(seq)["ok"])
                report = sizewise.wait(lambda: sizewise.windows[window_id] if sizewise.windows[window_id]["maximized"]
                                       == "full" and sizewise.windows[window_id]["x"] == 1280 else None, 10,
                                       "the window maximised on the second")
                self.assertEqual(frame(report), [1280, 0, 1280, 800])
                self.assertEqual(session.window(window_id)["frame"], [1280, 0, 1280, 800])
            finally:
                sizewise.stop()


if __name__ == "__main__":
    unittest.main()
