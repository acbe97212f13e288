"""A user's session with the main window on openbox with a notification area: the values of the
window they work in, typed values, refusals, presets, the origin, the state buttons, the layout
view, hiding to the notification area, the close box, the menu's Exit and the next start."""

import time
import unittest

import e2e
from e2e import wait_until


class MainWindow(e2e.Session):
    def target_is(self, window, frame):
        wait_until(lambda: self.frame(window) == frame, 5, f"the frame {frame}")
        wait_until(lambda: self.values() == self.shown_frame(window), 5, "the values to follow")

    def test_1_values_typed_presets_states_and_the_layout_view(self):
        window = self.client("Target", "400x300+300+200")
        self.start()
        wait_until(lambda: self.values() == self.shown_frame(window), 5, "the target's values")
        self.assertEqual(self.title(), "Target")
        x, y, w, h = self.frame(window)
        for caption, text, frame in (("Width", "500", (x, y, 500, h)), ("Left", "123", (123, y, 500, h)),
                                     ("Bottom", str(y + h - 33), (123, y, 500, h - 33))):
            self.edit(caption, text)
            self.target_is(window, frame)
        self.edit("Top", "12px")  # refused: the panel stays, nothing moves
        self.assertTrue(self.extents(self.find(role="text"))[2] > 0)
        self.xdotool("key", "Escape")
        self.assertEqual(self.frame(window), (123, y, 500, h - 33))
        self.click(role="push button", name="0")
        self.target_is(window, (123, y, 640, 480))
        self.click(role="push button", name="0,0")
        self.target_is(window, (0, 0, 640, 480))
        for button, state in (("Maximize", "_NET_WM_STATE_MAXIMIZED_HORZ"), ("Minimize", "_NET_WM_STATE_HIDDEN")):
            self.click(description=f"{button} Target Window")
            wait_until(lambda: state in self.states(window), 5, state)
            self.click(description="Restore Target Window")
            wait_until(lambda: state not in self.states(window), 5, f"no {state}")
        self.target_is(window, (0, 0, 640, 480))
        ix, iy, iw, ih = self.extents(self.control(role="image"))
        self.xdotool("mousemove", ix + 5, iy + 5, "mousedown", 1, "mousemove", ix + 25, iy + 15, "mouseup", 1)
        wait_until(lambda: self.frame(window)[0] > 150 and self.frame(window)[1] > 60, 5, "the target dragged")

    def test_2_hidden_to_the_icon_closed_and_exit_saves(self):
        where = self.extents(self.control(role="label", name="Menu"))
        self.tray_icon_click()
        wait_until(lambda: not self.main_window(), 5, "the window hidden")
        time.sleep(0.5)  # two clicks within the double-click time are one double click
        self.tray_icon_click()
        wait_until(self.main_window, 5, "the window shown")
        self.assertEqual(self.extents(self.find(role="label", name="Menu")), where)
        self.desktop.run(["wmctrl", "-F", "-c", "Sizewise"])  # the window manager's close
        wait_until(lambda: not self.main_window(), 5, "the close box to hide the window")
        self.assertIsNone(self.proc.poll())
        self.open_menu(lambda: self.tray_icon_click(3))
        self.xdotool("key", "x")  # E&xit
        self.assertEqual(self.exit_status(), 0)
        config = self.settings()["Config"]
        self.assertEqual(config["Hidden"], "True")
        self.assertEqual(len(config), 25)
        self.assertIn("Mode", self.settings()["RulerConfig"])

    def test_3_a_hidden_start_and_a_second_start_that_hands_over(self):
        self.start(shown=False)
        wait_until(self.tray_icon, 10, "the notification icon")
        self.assertFalse(self.main_window())
        second = self.desktop.spawn([e2e.SIZEWISE, "--no-splash"], "second")
        self.assertEqual(second.wait(timeout=10), 0)
        wait_until(self.main_window, 5, "the running one shown")
        self.proc.terminate()
        self.assertEqual(self.exit_status(), 0)
        self.assertEqual(self.settings()["Config"]["Hidden"], "False")


if __name__ == "__main__":
    unittest.main(verbosity=2)
