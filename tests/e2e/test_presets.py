"""Size presets: the buttons and menu entries size the target exactly; the editor stores or refuses."""

import os
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
from harness import Rect  # noqa: E402


class PresetTest(harness.DesktopTest):
    def setUp(self) -> None:
        super().setUp()
        # Up here even 800 x 600 fits the work area, so openbox leaves the frame as asked.
        self.watch(self.desktop.start_testclient("Target window", "300x200+20+20"))

    def assert_preset_gives(self, index: int, width: int, height: int) -> None:
        """Sizes the target by a set slot other than index first, so index has to do the work."""
        d = self.desktop
        other = 1 if index == 0 else 0
        x, y, _, _ = d.frame_rect(self.target)
        d.click(self.main, *harness.preset_button(other))
        self.assert_frame_becomes(self.target, Rect(x, y, *harness.DEFAULT_PRESETS[other]))
        d.click(self.main, *harness.preset_button(index))
        self.assert_frame_becomes(self.target, Rect(x, y, width, height))

    # --- the editor -----------------------------------------------------------------------

    def open_editor(self) -> int:
        return self.desktop.open_preset_editor(self.main)

    def wait_editor_closed(self) -> None:
        harness.wait_until(lambda: self.desktop.preset_editor() is None, timeout=3,
                           what="the preset editor to close")

    def assert_editor_stays(self, editor: int) -> None:
        d = self.desktop
        for _ in range(5):
            self.assertTrue(d.exists(editor) and d.is_viewable(editor), "the editor closed")
            time.sleep(0.1)

    # --- tests ----------------------------------------------------------------------------

    def test_buttons_and_menu_entries_give_exact_frames(self) -> None:
        d = self.desktop
        self.assert_preset_gives(1, 800, 600)
        self.assert_preset_gives(0, 640, 480)
        # Slots 5 to 9 are empty: their buttons do nothing.
        d.click(self.main, *harness.preset_button(5))
        self.assert_frame_stays(self.target, Rect(self.before.x, self.before.y, 640, 480))
        d.open_menu(self.main)
        d.key("p", "Down", "Return")  # the second entry: 800x600
        self.assert_frame_becomes(self.target, Rect(self.before.x, self.before.y, 800, 600))
        d.open_menu(self.main)
        d.key("p", "Return")
        self.assert_frame_becomes(self.target, Rect(self.before.x, self.before.y, 640, 480))
        self.assert_sizewise_running()

    def test_editor_place_ok_and_cancel_buttons(self) -> None:
        d = self.desktop
        editor = self.open_editor()
        frame = d.frame_rect(editor)
        self.assertEqual((frame.w, frame.h), (harness.EDITOR_WIDTH, harness.EDITOR_HEIGHT))
        self.assertEqual(d.client_rect(editor), frame, "the editor has no border or title")
        self.assertLessEqual(abs(frame.x - (harness.SCREEN_W - frame.w) / 2), 1, f"centred: {frame}")
        self.assertLessEqual(abs(frame.y - (harness.SCREEN_H - frame.h) / 2), 1, f"centred: {frame}")
        self.assertIn("_NET_WM_STATE_ABOVE", d.net_wm_state(editor))
        d.fill(editor, harness.editor_width_box(1), "700")
        d.fill(editor, harness.editor_height_box(1), "500")
        d.click(editor, *harness.EDITOR_OK)
        self.wait_editor_closed()
        self.assert_preset_gives(1, 700, 500)

        editor = self.open_editor()
        d.fill(editor, harness.editor_width_box(1), "720")
        d.fill(editor, harness.editor_height_box(1), "520")
        d.click(editor, *harness.EDITOR_CANCEL)
        self.wait_editor_closed()
        self.assert_preset_gives(1, 700, 500)

    def test_editor_enter_and_escape(self) -> None:
        d = self.desktop
        editor = self.open_editor()
        # A slot that was empty gets a button that works.
        d.fill(editor, harness.editor_width_box(6), "600")
        d.fill(editor, harness.editor_height_box(6), "400")
        d.key("Return")
        self.wait_editor_closed()
        self.assert_preset_gives(6, 600, 400)

        editor = self.open_editor()
        d.fill(editor, harness.editor_width_box(6), "610")
        d.key("Escape")
        self.wait_editor_closed()
        self.assert_preset_gives(6, 600, 400)

    def test_refused_text_keeps_editor_open_and_stores_nothing(self) -> None:
        d = self.desktop
        for text in ("abc", "", "99999999999"):
            with self.subTest(text=text):
                editor = self.open_editor()
                d.fill(editor, harness.editor_height_box(1), "510")
                d.fill(editor, harness.editor_width_box(1), text)
                d.key("Return")
                self.assert_editor_stays(editor)
                d.key("Escape")
                self.wait_editor_closed()
                self.assert_preset_gives(1, 800, 600)

        # The refused box comes back selected: typing replaces what was refused.
        editor = self.open_editor()
        d.fill(editor, harness.editor_height_box(1), "12x")
        d.click(editor, *harness.EDITOR_OK)
        self.assert_editor_stays(editor)
        d.type_text("610")
        d.key("Return")
        self.wait_editor_closed()
        self.assert_preset_gives(1, 800, 610)

    def test_the_first_box_opens_selected_so_typing_replaces(self) -> None:
        d = self.desktop
        editor = self.open_editor()
        d.type_text("700")
        d.key("Return")
        self.wait_editor_closed()
        self.assert_preset_gives(0, 700, 480)

    def test_zero_in_slot_0_means_the_default(self) -> None:
        d = self.desktop
        for width, height, expected in (("0", "300", (640, 300)), ("500", "0", (500, 480))):
            with self.subTest(width=width, height=height):
                editor = self.open_editor()
                d.fill(editor, harness.editor_width_box(0), width, select=True)
                d.fill(editor, harness.editor_height_box(0), height, select=True)
                d.key("Return")
                self.wait_editor_closed()
                self.assert_preset_gives(0, *expected)


if __name__ == "__main__":
    unittest.main(verbosity=2)
