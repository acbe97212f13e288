"""Two monitors side by side, the desktop's origin on neither (scripts/desktop.py): Sizewise's windows
come up in sight, "0,0" goes to the corner of the target's monitor, a ruler locked to the screen
spans the monitor it is on, a pop-up menu opens at the pointer on a monitor of device pixel ratio
2, and turning a monitor off brings the windows on it back."""

import re
import unittest

import e2e
from e2e import wait_until

PRIMARY, SECOND = (0, 256, 1280, 1024), (1280, 0, 1024, 768)


class TwoMonitors(e2e.Session):
    two_monitors = True

    @classmethod
    def setUpClass(cls):
        super().setUpClass()
        cls.desktop.env["QT_SCREEN_SCALE_FACTORS"] = "DUMMY0=1;DUMMY1=2"

    def monitors(self):
        listed = self.desktop.run(["xrandr", "--listmonitors"])
        return [tuple(int(v) for v in (m[2], m[3], m[0], m[1]))
                for m in re.findall(r"(\d+)/\d+x(\d+)/\d+\+(-?\d+)\+(-?\d+)", listed)]

    def in_sight(self, frame):
        """The title strip, 20 pixels right of and 10 below the top-left corner, on a monitor."""
        x, y = frame[0] + 20, frame[1] + 10
        return any(mx <= x < mx + mw and my <= y < my + mh for mx, my, mw, mh in self.monitors())

    def test_places_origin_locks_and_a_monitor_gone(self):
        self.start()
        main = self.window("Sizewise")
        rulers = {axis: self.window(f"Sizewise {axis} Ruler") for axis in ("Horizontal", "Vertical")}
        # Nothing stored: the first start's place, moved wholly onto the primary monitor.
        self.assertEqual(self.frame(main)[:2], (PRIMARY[0] + 65, PRIMARY[1]))
        self.assertTrue(all(self.in_sight(self.geometry(r)) for r in rulers.values()))

        for monitor, geometry in ((SECOND, "300x200+1500+100"), (PRIMARY, "300x200+200+500")):
            target = self.client(f"Target {monitor[0]}", geometry)
            self.xdotool("windowactivate", target)
            wait_until(lambda: self.shows(target), 5, "the target's values")
            self.click(role="push button", name="0,0")
            wait_until(lambda: self.frame(target)[:2] == monitor[:2], 5, "the target at its monitor's corner")

        vertical = rulers["Vertical"]
        self.xdotool("windowmove", vertical, 600, 300)  # from under the horizontal ruler
        wait_until(lambda: self.geometry(vertical)[0] == 600, 5, "the vertical ruler moved")
        self.click(description="Lock Ruler to Screen", window="Sizewise Vertical Ruler")
        wait_until(lambda: self.geometry(vertical)[1::2] == (PRIMARY[1], PRIMARY[3]), 5, "the primary's height")
        self.xdotool("windowmove", vertical, 1500, "x")
        wait_until(lambda: self.geometry(vertical)[1::2] == (SECOND[1], SECOND[3]), 5, "the second's height")

        self.xdotool("windowmove", main, 1500, 100)
        wait_until(lambda: self.frame(main)[0] >= SECOND[0], 5, "the main window on the second monitor")
        # Qt's accessibility bridge tells places in Qt's co-ordinates: on the second
        # monitor, at ratio 2, pixels from its corner are halved.
        x, y, w, h = self.extents(self.control(role="image"))
        before = self.visible_windows()
        self.xdotool("mousemove", SECOND[0] + (x + w // 2 - SECOND[0]) * 2, SECOND[1] + (y + h // 2 - SECOND[1]) * 2,
                     "click", 3)
        menu = int(wait_until(lambda: self.visible_windows() - before, 5, "the pop-up menu").pop())
        pointer = [int(v) for v in re.findall(r"[xy]:(\d+)", self.xdotool("getmouselocation"))]
        self.assertLessEqual(max(abs(a - b) for a, b in zip(self.geometry(menu)[:2], pointer)), 3)
        self.xdotool("key", "Escape")
        self.desktop.run(["xrandr", "--output", "DUMMY1", "--off"])
        wait_until(lambda: len(self.monitors()) == 1 and self.in_sight(self.frame(main)), 5, "the main window back")
        wait_until(lambda: self.in_sight(self.geometry(vertical)), 5, "the ruler back")
        self.proc.terminate()
        self.assertEqual(self.proc.wait(timeout=10), 0)


if __name__ == "__main__":
    unittest.main(verbosity=2)
