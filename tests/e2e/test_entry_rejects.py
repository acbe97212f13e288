"""Text that is not a usable number changes nothing and leaves the entry panel open."""

import os
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402

REJECTED = ("abc", "", "99999999999")
INDICES = (0, 2, 5)  # Left, Right, Height: a move, an edge and a size


class RejectedEntryTest(harness.DesktopTest):
    def setUp(self) -> None:
        super().setUp()
        self.watch()

    def check(self, index: int, text: str) -> None:
        d = self.desktop
        box, closed = self.open_entry_panel(index)
        if text:
            d.type_text(text)
        else:
            d.key("BackSpace")
        d.key("Return")
        self.assert_frame_stays(self.target, self.before, duration=0.6)
        self.assert_sizewise_running()
        self.assertNotEqual(d.capture(self.main, box), closed, "the entry panel closed on Enter")
        d.key("Escape")
        harness.wait_until(lambda: d.capture(self.main, box) == closed, timeout=3,
                           what="Esc to close the entry panel")
        self.assert_frame_stays(self.target, self.before, duration=0.3)

    def test_rejected_text(self) -> None:
        for index in INDICES:
            for text in REJECTED:
                with self.subTest(dimension=harness.DIMENSIONS[index], text=text):
                    self.check(index, text)
                    time.sleep(harness.POLL_WAIT)

    def test_escape_cancels_a_valid_number(self) -> None:
        d = self.desktop
        box, closed = self.open_entry_panel()
        d.type_text("77")
        d.key("Escape")
        harness.wait_until(lambda: d.capture(self.main, box) == closed, timeout=3,
                           what="Esc to close the entry panel")
        self.assert_frame_stays(self.target, self.before, duration=0.6)


if __name__ == "__main__":
    unittest.main(verbosity=2)
