"""The close box hides to the tray, the tray icon and its menu show, hide and end Sizewise."""

import os
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402


class TrayTest(harness.DesktopTest):
    def setUp(self) -> None:
        super().setUp()
        self.main = self.start_sizewise()
        self.where = self.desktop.frame_rect(self.main)

    def wait_hidden(self) -> None:
        d = self.desktop
        harness.wait_until(lambda: not d.is_viewable(self.main), timeout=3,
                           what="the main window to be hidden")
        self.assertIn(d.wm_state(self.main), ("Withdrawn", ""), "hidden means withdrawn")
        self.assert_sizewise_running()

    def wait_shown_in_place(self) -> None:
        d = self.desktop
        harness.wait_until(lambda: d.is_viewable(self.main) and d.parent(self.main) is not None,
                           timeout=3, what="the main window to be shown again")
        self.assert_frame_becomes(self.main, self.where)

    def test_close_box_hides_and_icon_click_shows_in_place(self) -> None:
        self.desktop.close_window(self.main)
        self.wait_hidden()
        self.desktop.click_tray_icon(1)
        self.wait_shown_in_place()

    def test_icon_click_hides_and_shows(self) -> None:
        self.desktop.click_tray_icon(1)
        self.wait_hidden()
        # A second press within the double-click interval (400 ms in Qt) is a double click.
        time.sleep(0.6)
        self.desktop.click_tray_icon(1)
        self.wait_shown_in_place()

    def test_menu_hide_entry_hides(self) -> None:
        self.desktop.click_tray_icon(3)
        harness.wait_until(self.desktop.popup_menu, timeout=3, what="the pop-up menu")
        # "&Help" and "&Hide" share their letter, which then only moves the highlight: Hide is
        # the entry above Exit.
        self.desktop.key("Up", "Up", "Return")
        self.wait_hidden()

    def test_icon_menu_exit_ends_with_status_0(self) -> None:
        self.desktop.click_tray_icon(3)
        harness.wait_until(self.desktop.popup_menu, timeout=3, what="the pop-up menu")
        self.desktop.key("x")
        self.assert_exits_cleanly()

    def test_menu_label_opens_the_same_menu(self) -> None:
        self.desktop.click(self.main, *harness.MENU_LABEL)
        harness.wait_until(self.desktop.popup_menu, timeout=3, what="the pop-up menu")
        self.desktop.key("x")
        self.assert_exits_cleanly()

    def test_main_window_is_kept_above(self) -> None:
        self.assertIn("_NET_WM_STATE_ABOVE", self.desktop.net_wm_state(self.main))


if __name__ == "__main__":
    unittest.main(verbosity=2)
