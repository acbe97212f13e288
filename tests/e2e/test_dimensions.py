"""Each of the six dimensions typed into Sizewise lands exactly on the target's frame."""

import os
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
from harness import Rect  # noqa: E402

LEFT, TOP, RIGHT, BOTTOM, WIDTH, HEIGHT = range(6)


class DimensionEntryTest(harness.DesktopTest):
    def setUp(self) -> None:
        super().setUp()
        # The test client has no resize increments, so every size is reachable to the pixel.
        self.watch()

    def enter(self, index: int, value: int, expected: Rect) -> None:
        self.assertNotEqual(self.before, expected, "the edit must change something")
        self.desktop.edit_dimension(self.main, index, str(value))
        self.assert_frame_becomes(self.target, expected)
        self.assert_frame_stays(self.target, expected)
        self.assert_sizewise_running()

    def test_left_moves_keeping_size(self) -> None:
        b = self.before
        self.enter(LEFT, 123, Rect(123, b.y, b.w, b.h))

    def test_top_moves_keeping_size(self) -> None:
        b = self.before
        self.enter(TOP, 111, Rect(b.x, 111, b.w, b.h))

    def test_right_sets_right_edge_keeping_left(self) -> None:
        b = self.before
        self.enter(RIGHT, b.right + 57, Rect(b.x, b.y, b.w + 57, b.h))

    def test_bottom_sets_bottom_edge_keeping_top(self) -> None:
        b = self.before
        self.enter(BOTTOM, b.bottom - 33, Rect(b.x, b.y, b.w, b.h - 33))

    def test_width_resizes_keeping_top_left(self) -> None:
        b = self.before
        self.enter(WIDTH, 500, Rect(b.x, b.y, 500, b.h))

    def test_height_resizes_keeping_top_left(self) -> None:
        b = self.before
        self.enter(HEIGHT, 301, Rect(b.x, b.y, b.w, 301))

    def test_caption_click_opens_the_entry_too(self) -> None:
        b = self.before
        self.desktop.click(self.main, *harness.caption_centre(TOP))
        time.sleep(0.1)
        self.desktop.type_text("222")
        self.desktop.key("Return")
        self.assert_frame_becomes(self.target, Rect(b.x, 222, b.w, b.h))

    def test_two_edits_in_a_row(self) -> None:
        b = self.before
        self.enter(LEFT, 50, Rect(50, b.y, b.w, b.h))
        # The second edit starts from the values the display shows after the first.
        self.desktop.focus_sizewise(self.main)
        self.before = Rect(50, b.y, b.w, b.h)
        self.enter(WIDTH, 420, Rect(50, b.y, 420, b.h))


if __name__ == "__main__":
    unittest.main(verbosity=2)
