"""Start-up in a Wayland session: Sizewise says it sees only X11 windows, and works on those."""

import os
import signal
import sys
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402
from harness import Rect  # noqa: E402


class WaylandSessionTest(harness.DesktopTest):
    def test_wayland_session_is_announced_and_x11_windows_still_work(self) -> None:
        d = self.desktop
        target = d.start_testclient("Target window", "640x400+200+150")
        # No QT_QPA_PLATFORM: Sizewise itself has to keep its windows on the X display.
        main = d.start_sizewise(env={"WAYLAND_DISPLAY": "wayland-0", "XDG_SESSION_TYPE": "wayland",
                                     "QT_QPA_PLATFORM": None})
        self.assertIn("Wayland", d.sizewise_stderr())
        self.assertIn("X11", d.sizewise_stderr())
        d.activate(target)
        d.focus_sizewise(main)
        size = d.frame_rect(target)
        d.click(main, *harness.BUTTON_ORIGIN)
        self.assert_frame_becomes(target, Rect(0, 0, size.w, size.h))
        self.send_signal(signal.SIGTERM)
        self.assert_exits_cleanly()

    def test_x11_session_says_nothing_about_wayland(self) -> None:
        self.start_sizewise()
        self.assertNotIn("Wayland", self.desktop.sizewise_stderr())


if __name__ == "__main__":
    unittest.main(verbosity=2)
