"""The layout view: folding it away, where it draws the target, and dragging the target by it."""

import os
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
from harness import Rect  # noqa: E402


class LayoutTest(harness.DesktopTest):
    def setUp(self) -> None:
        super().setUp()
        self.watch(self.desktop.start_testclient("Target window", "300x200+200+150"))

    def wait_height(self, height: int) -> None:
        d = self.desktop
        harness.wait_until(lambda: d.client_rect(self.main).h == height, timeout=3,
                           what=f"the main window {height} pixels high")

    def wait_image(self, frame: Rect) -> Rect:
        """Waits for the view to draw the target at frame and returns where it draws it."""
        d = self.desktop
        expected = harness.image_rect(frame)
        try:
            return harness.wait_until(lambda: d.image_in_view(self.main) == expected and expected,
                                      timeout=2, what=f"the image at {expected}")
        except AssertionError:
            self.assertEqual(d.image_in_view(self.main), expected, f"image of frame {frame}")
            raise

    def test_check_box_and_menu_entry_fold_and_unfold(self) -> None:
        d = self.desktop
        self.assertEqual(d.client_rect(self.main).h, harness.MAIN_HEIGHT_LAYOUT,
                         "the layout view is shown at first")
        d.click(self.main, *harness.LAYOUT_CHECK)
        self.wait_height(harness.MAIN_HEIGHT_FOLDED)
        d.click(self.main, *harness.LAYOUT_CHECK)
        self.wait_height(harness.MAIN_HEIGHT_LAYOUT)
        # Options, then Show Window Layout, by their mnemonics.
        for height in (harness.MAIN_HEIGHT_FOLDED, harness.MAIN_HEIGHT_LAYOUT):
            d.open_menu(self.main)
            d.key("o", "w")
            self.wait_height(height)
            harness.wait_until(lambda: d.popup_menu() is None, timeout=3, what="the menu to close")
        self.assert_sizewise_running()

    def test_view_frame_and_image_following_the_target(self) -> None:
        d = self.desktop
        self.wait_image(self.before)
        # The view's 1 pixel border, one colour all round, is not the colour inside.
        width, height, pixels = harness._ppm_pixels(d.capture(self.main, (
            harness.VIEW_INNER_X - 1, harness.VIEW_INNER_Y - 1,
            harness.VIEW_INNER_W + 2, harness.VIEW_INNER_H + 2)))
        ring = {p for i, p in enumerate(pixels)
                if i % width in (0, width - 1) or i // width in (0, height - 1)}
        self.assertEqual(len(ring), 1, "the border is not one colour")
        self.assertNotIn(pixels[width + 1], ring, "the border is the ground's colour")
        # Places whose scaled co-ordinates round differently, the screen's corner among them.
        for x, y in ((0, 0), (517, 301), (333, 77)):
            with self.subTest(x=x, y=y):
                d.run(["wmctrl", "-i", "-r", hex(self.target), "-e", f"1,{x},{y},-1,-1"])
                frame = Rect(x, y, self.before.w, self.before.h)
                self.assert_frame_becomes(self.target, frame)
                self.wait_image(frame)

    def test_drag_moves_the_target_live_by_the_scaled_distance(self) -> None:
        d = self.desktop
        image = self.wait_image(self.before)
        grip = (image.x + image.w // 2, image.y + image.h // 2)
        # Distances whose scaled places have fractions over a half: rounding would be off by one.
        expected = harness.dragged_frame(self.before, 10, 11)
        d.drag(self.main, grip, (10, 11), steps=6, release=False)
        # Placed while the button is still down, not on release.
        self.assert_frame_becomes(self.target, expected, timeout=1)
        d.run(["xdotool", "mouseup", "1"])
        # Released, further moves drag nothing.
        d.run(["xdotool", "mousemove", "--window", str(self.main), str(grip[0]), str(grip[1])])
        self.assert_frame_stays(self.target, expected)

        # Back up and to the left, starting from the image where the view now draws it.
        image = self.wait_image(expected)
        grip = (image.x + 2, image.y + 2)
        second = harness.dragged_frame(expected, -17, -9)
        d.drag(self.main, grip, (-17, -9), steps=8)
        self.assert_frame_becomes(self.target, second)
        self.assert_frame_stays(self.target, second)
        self.assert_sizewise_running()

    def test_right_click_on_image_opens_menu_and_drags_nothing(self) -> None:
        d = self.desktop
        image = self.wait_image(self.before)
        grip = (image.x + image.w // 2, image.y + image.h // 2)
        d.click(self.main, *grip, button=3)
        harness.wait_until(d.popup_menu, timeout=3, what="the pop-up menu")
        # Up and to the left, away from the menu, which opens below and to the right.
        d.run(["xdotool", "mousemove", "--window", str(self.main), str(grip[0] - 8),
               str(grip[1] - 4)])
        self.assert_frame_stays(self.target, self.before, duration=0.3)
        d.key("Escape")
        harness.wait_until(lambda: d.popup_menu() is None, timeout=3, what="the menu to close")
        d.run(["xdotool", "mousemove", "--window", str(self.main), str(grip[0] + 10),
               str(grip[1] + 5)])
        self.assert_frame_stays(self.target, self.before)
        self.assert_sizewise_running()


class DragOnXfwm4Test(LayoutTest):
    """The drag again where the window manager composites and frames differently."""
    wm = "xfwm4"
    test_check_box_and_menu_entry_fold_and_unfold = None
    test_view_frame_and_image_following_the_target = None
    test_right_click_on_image_opens_menu_and_drags_nothing = None


if __name__ == "__main__":
    unittest.main(verbosity=2)
