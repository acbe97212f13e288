"""A GTK 3 window that draws its own title bar, on compositing window managers: Sizewise reads and
places what is seen of it, not the invisible shadow around it."""

import os
import re
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
from harness import Rect  # noqa: E402

HEADERBAR = os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(__file__))), "x11",
                         "headerbar_client.py")


class HeaderBarTest(harness.DesktopTest):
    wm = "xfwm4"

    def start_headerbar(self) -> int:
        d = self.desktop
        d._spawn(["/usr/bin/python3", HEADERBAR, "Header bar window", "500x300+200+150"], "gtk")
        window = harness.wait_until(lambda: (d.search("--classname", "^sizewise-headerbar$") or [0])[0],
                                    timeout=15, what="the GTK window")
        harness.wait_until(lambda: self.shadow(window) and d.is_viewable(window), timeout=10,
                           what="the GTK window to be mapped with its shadow")
        return window

    def shadow(self, window: int) -> tuple:
        """_GTK_FRAME_EXTENTS: left, right, top, bottom."""
        out = self.desktop.run(["xprop", "-id", str(window), "_GTK_FRAME_EXTENTS"], check=False)
        return tuple(int(v) for v in re.findall(r"\d+", out.partition("=")[2]))

    def visible(self, window: int) -> Rect:
        c = self.desktop.client_rect(window)
        left, right, top, bottom = self.shadow(window)
        return Rect(c.x + left, c.y + top, c.w - left - right, c.h - top - bottom)

    def test_origin_a_typed_width_and_a_preset_land_on_what_is_seen(self) -> None:
        window = self.start_headerbar()
        self.watch(window)
        seen = self.visible(window)
        self.assertNotEqual(self.shadow(window), (0, 0, 0, 0))

        self.desktop.click(self.main, *harness.BUTTON_ORIGIN)
        harness.wait_until(lambda: self.visible(window) == Rect(0, 0, seen.w, seen.h), timeout=3,
                           what=f"the seen window at 0,0 with its size {seen.w}x{seen.h}: "
                                f"{self.visible(window)}")

        self.desktop.activate(window)
        self.desktop.focus_sizewise(self.main)
        self.desktop.edit_dimension(self.main, 4, "420")
        harness.wait_until(lambda: self.visible(window) == Rect(0, 0, 420, seen.h), timeout=3,
                           what=f"the seen window 420 wide: {self.visible(window)}")

        self.desktop.activate(window)
        self.desktop.focus_sizewise(self.main)
        self.desktop.click(self.main, *harness.preset_button(0))
        harness.wait_until(lambda: self.visible(window) == Rect(0, 0, 640, 480), timeout=3,
                           what=f"the seen window at the 640x480 preset: {self.visible(window)}")
        self.assert_sizewise_running()


class HeaderBarOnMetacityTest(HeaderBarTest):
    wm = "metacity"


if __name__ == "__main__":
    unittest.main(verbosity=2)
