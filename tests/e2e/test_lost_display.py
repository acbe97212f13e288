"""A dying X server ends Sizewise with status 0 and a complete settings file, whatever was open."""

import os
import signal
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402


class LostDisplayTest(harness.DesktopTest):
    """Each test brings Sizewise to one moment, then the X server dies by kill_signal."""

    kill_signal = signal.SIGKILL

    def setUp(self) -> None:
        super().setUp()
        self.main = self.start_sizewise()

    def kill_display(self) -> dict:
        self.desktop.xvfb.send_signal(self.kill_signal)
        self.assert_exits_cleanly(timeout=5)
        return self.assert_settings_sound()

    def test_entry_panel_open(self) -> None:
        self.open_entry_panel()
        self.kill_display()

    def test_after_a_refused_entry(self) -> None:
        d = self.desktop
        box, closed = self.open_entry_panel()
        d.type_text("abc")
        d.key("Return")
        self.assertNotEqual(d.capture(self.main, box), closed, "the refused entry closed the panel")
        self.kill_display()

    def test_menu_open(self) -> None:
        self.desktop.open_menu(self.main)
        self.kill_display()

    def test_preset_editor_open_after_a_refusal(self) -> None:
        d = self.desktop
        editor = d.open_preset_editor(self.main)
        d.fill(editor, harness.editor_width_box(1), "abc")
        d.key("Return")
        self.assertTrue(d.is_viewable(editor), "the editor closed on a refused entry")
        self.kill_display()

    def test_mid_drag(self) -> None:
        d = self.desktop
        target = d.start_testclient("Target window", "300x200+200+150")
        d.activate(target)
        d.focus_sizewise(self.main)
        before = d.frame_rect(target)
        image = harness.image_rect(before)
        d.drag(self.main, (image.x + 3, image.y + 3), (6, 4), steps=4, release=False)
        self.assert_frame_becomes(target, harness.dragged_frame(before, 6, 4))
        self.kill_display()

    def test_hidden(self) -> None:
        d = self.desktop
        d.close_window(self.main)
        harness.wait_until(lambda: not d.is_viewable(self.main), timeout=3,
                           what="the window hidden")
        self.assertEqual(self.kill_display()["Hidden"], "True")


class TerminatedDisplayTest(LostDisplayTest):
    kill_signal = signal.SIGTERM


# A crash on the way out shows in some runs only: every moment runs a few times.
for _round in (2, 3):
    for _base in (LostDisplayTest, TerminatedDisplayTest):
        _name = f"{_base.__name__}Again{_round}"
        globals()[_name] = type(_name, (_base,), {})
del _round, _base, _name


if __name__ == "__main__":
    unittest.main(verbosity=2)
