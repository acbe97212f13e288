"""Settings survive a restart and bad files; one instance per display; the close box with and
without a notification area."""

import os
import re
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
from harness import Rect  # noqa: E402

GARBAGE = """\
a line that is no setting at all
[Config]
ShowLayout=perhaps
Hidden=yes
WindowTop=abc
WindowLeft=12x
PresetWidth_0=wide
gPresetHeight_0=
PresetWidth_1=8OO
gPresetHeight_1=six hundred
Colour=blue
=====
[Extra]
Kept=1
"""


class SettingsTest(harness.DesktopTest):
    def exit_by_menu(self, main: int) -> dict:
        """Ends Sizewise by the menu's Exit and returns the [Config] it wrote."""
        self.desktop.menu_exit(main)
        self.assert_exits_cleanly()
        return self.assert_settings_sound()

    def wait_frame_at(self, window: int, x: int, y: int) -> None:
        d = self.desktop
        try:
            harness.wait_until(lambda: d.frame_rect(window)[:2] == (x, y), timeout=3)
        except AssertionError:
            self.assertEqual(d.frame_rect(window)[:2], (x, y), "the frame's top-left")

    def preset_gives(self, main: int, target: int, index: int, size: tuple) -> None:
        d = self.desktop
        d.activate(target)
        d.focus_sizewise(main)
        before = d.frame_rect(target)
        d.click(main, *harness.preset_button(index))
        self.assert_frame_becomes(target, Rect(before.x, before.y, *size))

    def test_place_layout_and_edited_presets_survive_a_restart(self) -> None:
        d = self.desktop
        d.write_settings("[Config]\nWindowLeft=4500\nWindowTop=3000\n")
        main = d.start_sizewise()
        self.wait_frame_at(main, 300, 200)
        d.run(["wmctrl", "-i", "-r", hex(main), "-e", "1,400,250,-1,-1"])
        self.wait_frame_at(main, 400, 250)
        d.click(main, *harness.LAYOUT_CHECK)
        harness.wait_until(lambda: d.client_rect(main).h == harness.MAIN_HEIGHT_FOLDED, timeout=3,
                           what="the layout view folded")
        editor = d.open_preset_editor(main)
        d.fill(editor, harness.editor_width_box(7), "500")
        d.fill(editor, harness.editor_height_box(7), "400")
        d.fill(editor, harness.editor_width_box(1), "810")
        d.key("Return")
        harness.wait_until(lambda: d.preset_editor() is None, timeout=3, what="the editor closed")
        config = self.exit_by_menu(main)
        self.assertEqual((config["WindowLeft"], config["WindowTop"]), ("6000", "3750"))
        self.assertEqual((config["ShowLayout"], config["Hidden"]), ("False", "False"))
        self.assertEqual((config["PresetWidth_7"], config["gPresetHeight_7"]), ("500", "400"))
        self.assertEqual((config["PresetWidth_1"], config["gPresetHeight_1"]), ("810", "600"))
        self.assertEqual((config["PresetWidth_4"], config["gPresetHeight_4"]), ("1280", "1024"))

        target = d.start_testclient("Target window", "300x200+20+20")
        main = d.start_sizewise()
        self.wait_frame_at(main, 400, 250)
        self.assertEqual(d.client_rect(main).h, harness.MAIN_HEIGHT_FOLDED)
        self.preset_gives(main, target, 7, (500, 400))
        self.preset_gives(main, target, 1, (810, 600))

    def test_hidden_at_exit_starts_hidden_and_shows_in_place(self) -> None:
        d = self.desktop
        d.write_settings("[Config]\nWindowLeft=3000\nWindowTop=1500\n")
        main = d.start_sizewise()
        self.wait_frame_at(main, 200, 100)
        d.close_window(main)
        harness.wait_until(lambda: not d.is_viewable(main), timeout=3, what="the window hidden")
        d.click_tray_icon(3)
        harness.wait_until(d.popup_menu, timeout=3, what="the pop-up menu")
        d.key("x")
        self.assert_exits_cleanly()
        config = self.assert_settings_sound()
        self.assertEqual((config["Hidden"], config["WindowLeft"], config["WindowTop"]),
                         ("True", "3000", "1500"))

        d.start_sizewise(shown=False)
        harness.wait_until(d.tray_icon, timeout=10, what="the tray icon")
        d.wait_splash_over()
        time.sleep(0.5)
        self.assertIsNone(d.main_window(), "a main window was mapped at a hidden start")
        d.click_tray_icon(1)
        main = harness.wait_until(d.main_window, timeout=3, what="the main window shown")
        self.wait_frame_at(main, 200, 100)
        self.assertEqual(self.exit_by_menu(main)["Hidden"], "False")

    def test_place_off_screen_is_clamped_and_every_key_is_written(self) -> None:
        d = self.desktop
        d.write_settings("[Config]\nWindowLeft=30000\nWindowTop=-3000\n")
        main = d.start_sizewise()
        # Brought back by the window's own width from the right edge, and to 0 from above; the
        # window manager's border is not known before the window is mapped and reaches past it.
        frame = d.frame_rect(main)
        self.assertEqual((frame.x, frame.y), (harness.SCREEN_W - harness.MAIN_WIDTH, 0))
        self.exit_by_menu(main)
        # The file lists its keys in its own (sorted) order.
        keys = [key for key, _ in d.read_settings().get("Config", [])]
        self.assertEqual(sorted(keys), sorted(harness.SETTINGS_KEYS))

    def test_garbage_reads_as_defaults_and_is_replaced_by_sound_values(self) -> None:
        d = self.desktop
        d.write_settings(GARBAGE)
        target = d.start_testclient("Target window", "300x200+150+20")
        main = d.start_sizewise()
        self.assertEqual(d.client_rect(main).h, harness.MAIN_HEIGHT_LAYOUT)
        self.wait_frame_at(main, 0, 0)
        self.preset_gives(main, target, 0, (640, 480))
        self.preset_gives(main, target, 1, (800, 600))
        config = self.exit_by_menu(main)
        self.assertEqual((config["ShowLayout"], config["Hidden"]), ("True", "False"))
        self.assertEqual((config["WindowLeft"], config["WindowTop"]), ("0", "0"))
        self.assertEqual([config[f"{k}_{i}"] for i in (0, 1) for k in ("PresetWidth", "gPresetHeight")],
                         ["640", "480", "800", "600"])
        sections = d.read_settings()
        self.assertIn(("Colour", "blue"), sections["Config"])
        self.assertIn(("Kept", "1"), sections.get("Extra", []))


class InstanceTest(harness.DesktopTest):
    def test_second_instance_shows_the_hidden_window_and_exits_0(self) -> None:
        d = self.desktop
        main = d.start_sizewise()
        where = d.frame_rect(main)
        # With a tray the close box only hides.
        d.close_window(main)
        harness.wait_until(lambda: not d.is_viewable(main), timeout=3, what="the window hidden")
        for name in ("second", "third"):
            with self.subTest(name):
                started = time.monotonic()
                proc = d.spawn_sizewise(name=name)
                self.assertEqual(proc.wait(timeout=5), 0, d.sizewise_stderr(name))
                self.assertLess(time.monotonic() - started, 3)
                harness.wait_until(lambda: d.is_viewable(main), timeout=3,
                                   what="the first instance's window shown")
                self.assertEqual(d.frame_rect(main), where)
                self.assert_sizewise_running()

    def test_killed_instance_does_not_block_the_next(self) -> None:
        d = self.desktop
        d.start_sizewise()
        d.sizewise.kill()
        d.sizewise.wait()
        harness.wait_until(lambda: d.main_window() is None, timeout=3, what="the window gone")
        d.start_sizewise()
        time.sleep(1)
        self.assert_sizewise_running()


class NoTrayTest(harness.DesktopTest):
    tray = False

    def test_close_box_minimises_without_a_tray(self) -> None:
        d = self.desktop
        main = d.start_sizewise()
        d.close_window(main)
        harness.wait_until(lambda: d.wm_state(main) == "Iconic", timeout=3,
                           what="WM_STATE Iconic")
        self.assert_sizewise_running()
        listed = [int(w, 16) for w in re.findall(r"^(0x[0-9a-f]+)", d.run(["wmctrl", "-l"]), re.M)]
        self.assertIn(main, listed, "not in the task list")
        d.run(["wmctrl", "-i", "-a", hex(main)])
        harness.wait_until(lambda: d.wm_state(main) == "Normal" and d.is_viewable(main),
                           timeout=3, what="the window restored")


if __name__ == "__main__":
    unittest.main(verbosity=2)
