"""The rulers as a user works with them: shown at start, locked to the window they work in and
following it when another program moves it, measuring with SHIFT and the left button, absolute
numbers from the ruler's menu, closed together, and their places saved."""

import re
import unittest

import e2e
from e2e import wait_until


class Rulers(e2e.Session):
    def ruler(self, axis):
        return int(self.desktop.run(["xdotool", "search", "--onlyvisible", "--name", f"^Sizewise {axis} Ruler$"]).split()[0])

    def geometry(self, window):
        out = self.desktop.run(["xwininfo", "-id", str(window)])
        return tuple(int(re.search(rf"{k}:\s+(-?\d+)", out).group(1))
                     for k in ("Absolute upper-left X", "Absolute upper-left Y", "Width", "Height"))

    def test_lock_follow_measure_mode_and_close(self):
        window = self.client("Target", "400x300+300+200")
        self.start()
        wait_until(lambda: self.values() == self.shown_frame(window), 5, "the target's values")
        ruler = "Sizewise Horizontal Ruler"
        self.click(description="Lock Ruler to Active Window", window=ruler)
        x, y, w, h = self.frame(window)
        wait_until(lambda: self.geometry(self.ruler("Horizontal"))[0::2] == (x, w), 5, "the ruler on the target")
        self.xdotool("windowmove", self.frame_id(window), 250, 150)
        wait_until(lambda: self.geometry(self.ruler("Horizontal"))[0] == 250, 5, "the ruler to follow")
        # Measuring: SHIFT and a click start, the next click ends; the read-out is relative.
        # Relative moves, as a mouse makes them: XTEST's absolute ones send no raw motion.
        self.xdotool("mousemove", 400, 400, "keydown", "shift", "click", 1, "keyup", "shift",
                     "mousemove_relative", "--", 60, 30, "sleep", 0.1, "click", 1)
        readout = lambda: self.find(role="label", description="Measured Area Dimensions", window=ruler).name
        wait_until(lambda: readout() == "60 X 30", 5, "the measure")
        position = lambda: self.find(role="label", description="Cursor Co-ordinates", window=ruler).name
        wait_until(lambda: position() == f"{460 - 250},{430 - self.geometry(self.ruler('Vertical'))[1]}", 5, "relative")
        self.open_menu(lambda: self.click(role="push button", name="Menu", window=ruler))
        self.xdotool("key", "--delay", 50, "Down", "Right", "Down", "Return")  # Mode > Absolute
        self.xdotool("mousemove", 460, 430, "mousemove_relative", 1, 1)
        wait_until(lambda: position() == "461,431", 5, "absolute co-ordinates")
        self.click(description="Hide Rulers", window=ruler)
        wait_until(lambda: not self.find(description="Hide Rulers", window=ruler) or
                   self.extents(self.find(description="Hide Rulers", window=ruler))[2] == 0, 5, "the rulers hidden")
        self.proc.terminate()
        self.assertEqual(self.exit_status(), 0)
        settings = self.settings()
        self.assertEqual(settings["Config"]["ShowRuler"], "False")
        self.assertEqual(settings["RulerConfig"]["Mode"], "1")
        self.assertEqual(settings["HorizontalRulerConfig"]["Width"], "433")  # its free length, though locked

    def frame_id(self, window):
        info = self.desktop.run(["xwininfo", "-children", "-id", str(window)])
        return int(re.search(r"Parent window id: (0x[0-9a-f]+)", info).group(1), 16)


if __name__ == "__main__":
    unittest.main(verbosity=2)
