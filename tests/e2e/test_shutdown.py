"""Signals end Sizewise in order, saving its settings; a vanishing target is no crash.

A lost X connection has its own suite, test_lost_display."""

import os
import signal
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
from harness import Rect  # noqa: E402


class SignalTest(harness.DesktopTest):
    def setUp(self) -> None:
        super().setUp()
        self.watch(focus=False)

    def end_by(self, sig: signal.Signals) -> None:
        self.send_signal(sig)
        self.assert_exits_cleanly()
        self.assert_settings_sound()

    def test_sigterm_exits_0_and_saves(self) -> None:
        self.end_by(signal.SIGTERM)

    def test_sigint_exits_0_and_saves(self) -> None:
        self.end_by(signal.SIGINT)

    def test_sighup_exits_0_and_saves(self) -> None:
        self.end_by(signal.SIGHUP)


class VanishingTargetTest(harness.DesktopTest):
    def setUp(self) -> None:
        super().setUp()
        self.watch()
        self.stderr_before = self.desktop.sizewise_stderr()

    def check_still_working(self) -> None:
        d = self.desktop
        # Ten polls or so against the vanished window.
        time.sleep(1.0)
        self.assert_sizewise_running()
        self.assertEqual(d.sizewise_stderr(), self.stderr_before, "sizewise wrote on stderr")
        other = d.start_xterm("Next target", "80x24+300+200")
        d.activate(other)
        d.focus_sizewise(self.main)
        size = d.frame_rect(other)
        d.click(self.main, *harness.BUTTON_ORIGIN)
        self.assert_frame_becomes(other, Rect(0, 0, size.w, size.h))

    def test_target_killed(self) -> None:
        d = self.desktop
        d.process_of(self.target).kill()
        harness.wait_until(lambda: not d.exists(self.target), timeout=3,
                           what="the target window to be destroyed")
        self.check_still_working()

    def test_target_closed_by_window_manager(self) -> None:
        d = self.desktop
        d.close_window(self.target)
        harness.wait_until(lambda: not d.exists(self.target), timeout=3,
                           what="the target window to be destroyed")
        self.check_still_working()


if __name__ == "__main__":
    unittest.main(verbosity=2)
