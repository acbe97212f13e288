"""The title shown follows the target's WM_NAME (xterm sets no _NET_WM_NAME)."""

import os
import sys
import time
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402

# The title line, right of the "Menu" label and above the captions.
TITLE_STRIP = (53, 10, harness.MAIN_WIDTH - 53, 20)


class TitleTest(harness.DesktopTest):
    def test_title_follows_wm_name(self) -> None:
        d = self.desktop
        target = d.start_xterm("First title")
        self.assertNotIn("_NET_WM_NAME", d.run(["xprop", "-id", str(target)]))
        main = self.start_sizewise()
        d.activate(target)
        d.focus_sizewise(main)
        first = harness.wait_until(lambda: self.steady_strip(main), timeout=3,
                                   what="the title line to settle")
        self.assertGreater(d.distinct_colours(first), 1, "the title line is blank")

        d.run(["xprop", "-id", str(target), "-f", "WM_NAME", "8s", "-set", "WM_NAME",
               "A second and much longer title"])
        harness.wait_until(lambda: d.capture(main, TITLE_STRIP) != first, timeout=3,
                           what="the shown title to change")
        d.run(["xprop", "-id", str(target), "-f", "WM_NAME", "8s", "-set", "WM_NAME",
               "First title"])
        harness.wait_until(lambda: d.capture(main, TITLE_STRIP) == first, timeout=3,
                           what="the first title to be shown again")
        self.assert_sizewise_running()

    def steady_strip(self, main: int):
        """The title line if it looks the same across more than one poll, else None."""
        first = self.desktop.capture(main, TITLE_STRIP)
        time.sleep(0.25)
        return first if self.desktop.capture(main, TITLE_STRIP) == first else None


if __name__ == "__main__":
    unittest.main(verbosity=2)
