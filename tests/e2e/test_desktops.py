"""Exact on other desktops: run with SIZEWISE_TEST_WM set to xfwm4 (compositing, a window that
draws its own decorations and shadow), metacity (frames with invisible borders) or none (no window manager at all)."""

import os
import subprocess
import unittest

import e2e
from e2e import wait_until

WM = os.environ.get("SIZEWISE_TEST_WM", "metacity")


class Desktop(e2e.Session):
    wm, tray = WM, WM == "xfwm4"

    def target(self):
        if WM != "xfwm4":
            return self.client("Target", "400x300+300+200")
        gtk = self.desktop.spawn(["/usr/bin/python3", os.path.join(e2e.desktop.HERE, "x11", "headerbar_client.py"),
                                  "Target"], "gtk", stdout=subprocess.PIPE)
        return int(e2e.desktop.read_line(gtk.stdout, 10))

    def test_values_and_typed_sizes_are_what_is_seen(self):
        window = self.target()
        self.start()
        if WM == "none":
            self.xdotool("windowfocus", window)
        wait_until(lambda: self.title() == "Target" and self.shows(window), 5, "the target's values")
        self.edit("Width", "520")
        wait_until(lambda: self.frame(window)[2] == 520 and self.shows(window), 5, "the width typed")
        self.edit("Left", "77")
        wait_until(lambda: self.frame(window)[0] == 77 and self.shows(window), 5, "the left typed")
        self.proc.terminate()
        self.assertEqual(self.proc.wait(timeout=10), 0)


if __name__ == "__main__":
    unittest.main(verbosity=2)
