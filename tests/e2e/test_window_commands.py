"""The "0,0" button and the minimise, restore and maximise buttons act on the target."""

import os
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
from harness import Rect  # noqa: E402

MAXIMISED = {"_NET_WM_STATE_MAXIMIZED_VERT", "_NET_WM_STATE_MAXIMIZED_HORZ"}


class CommandTest(harness.DesktopTest):
    def press(self, button: tuple) -> None:
        self.desktop.click(self.main, *button)


class OriginTest(CommandTest):
    def test_origin_moves_test_client_keeping_size(self) -> None:
        self.watch()
        self.press(harness.BUTTON_ORIGIN)
        self.assert_frame_becomes(self.target, Rect(0, 0, self.before.w, self.before.h))
        self.assert_sizewise_running()

    def test_origin_moves_xterm_keeping_size(self) -> None:
        # xterm snaps its size to character cells: moving must not disturb that.
        self.watch(self.desktop.start_xterm("Terminal target", "80x24+300+200"))
        self.press(harness.BUTTON_ORIGIN)
        self.assert_frame_becomes(self.target, Rect(0, 0, self.before.w, self.before.h))
        self.assert_sizewise_running()


class OriginWhileMaximisedTest(CommandTest):
    # With the panel at the top the work area starts below it, so a maximised window is not at 0,0.
    panel_position = "top"

    def test_origin_moves_maximised_window_keeping_maximised_size(self) -> None:
        d = self.desktop
        target = d.start_testclient("Target window", "640x400+200+150")
        d.maximise(target)
        maximised = harness.wait_until(
            lambda: (lambda r: r if r.y > 0 and r.w == 1024 else None)(d.frame_rect(target)),
            what="the maximised frame below the panel")
        self.watch(target)
        self.assertEqual(self.before, maximised)
        self.press(harness.BUTTON_ORIGIN)
        self.assert_frame_becomes(target, Rect(0, 0, maximised.w, maximised.h))
        self.assert_sizewise_running()


class StateButtonTest(CommandTest):
    def setUp(self) -> None:
        super().setUp()
        self.watch()

    def wait_state(self, state: str) -> None:
        d = self.desktop
        harness.wait_until(lambda: d.wm_state(self.target) == state, timeout=3,
                           what=f"WM_STATE {state}")

    def test_minimise(self) -> None:
        self.press(harness.BUTTON_MINIMISE)
        self.wait_state("Iconic")
        self.assertFalse(self.desktop.is_viewable(self.target))
        self.assert_sizewise_running()

    def test_restore_after_minimise(self) -> None:
        d = self.desktop
        self.press(harness.BUTTON_MINIMISE)
        self.wait_state("Iconic")
        d.focus_sizewise(self.main)
        self.press(harness.BUTTON_RESTORE)
        self.wait_state("Normal")
        harness.wait_until(lambda: d.is_viewable(self.target), timeout=3, what="the target mapped")
        self.assert_frame_becomes(self.target, self.before)
        self.assertFalse(d.net_wm_state(self.target) & MAXIMISED)

    def test_maximise(self) -> None:
        d = self.desktop
        self.press(harness.BUTTON_MAXIMISE)
        harness.wait_until(lambda: MAXIMISED <= d.net_wm_state(self.target), timeout=3,
                           what="_NET_WM_STATE maximised")
        # The panel at the bottom is 30 pixels high and reserves its strip of the screen.
        self.assert_frame_becomes(self.target, Rect(0, 0, 1024, 768 - 30))
        self.assertEqual(d.wm_state(self.target), "Normal")

    def test_restore_after_maximise(self) -> None:
        d = self.desktop
        self.press(harness.BUTTON_MAXIMISE)
        harness.wait_until(lambda: MAXIMISED <= d.net_wm_state(self.target), timeout=3,
                           what="_NET_WM_STATE maximised")
        d.focus_sizewise(self.main)
        self.press(harness.BUTTON_RESTORE)
        harness.wait_until(lambda: not d.net_wm_state(self.target) & MAXIMISED, timeout=3,
                           what="_NET_WM_STATE not maximised")
        self.assert_frame_becomes(self.target, self.before)
        self.assert_frame_stays(self.target, self.before)


if __name__ == "__main__":
    unittest.main(verbosity=2)
