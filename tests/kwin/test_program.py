"""Sizewise itself under a headless KWin with Xwayland (tests/wayland/program_scenario.py): KWin's
backend, its script loaded while Sizewise runs and gone once it ends, clicks through KWin's fake
input. Root is needed. SIZEWISE names the program."""

import os
import sys
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(os.path.dirname(HERE), "wayland"))
sys.path.insert(0, os.path.join(os.path.dirname(HERE), "..", "scripts"))
import program_scenario  # noqa: E402
from fake_pointer import PointerDevice  # noqa: E402
from kwin_session import KwinSession  # noqa: E402

# Where KWin has the pointer.
CURSOR = 'print("%(marker)s " + workspace.cursorPos.x + " " + workspace.cursorPos.y);'

# Makes a window the active one, as a user's click would.
ACTIVATE = """
var windows = workspace.clientList();
for (var i = 0; i < windows.length; ++i) {
    if (String(windows[i].internalId) === "%(id)s") workspace.activeClient = windows[i];
}
print("%%(marker)s");
"""


class SizewiseUnderKWin(program_scenario.Scenario):
    TITLE = "caption"
    ABOVE = "keepAbove"

    @classmethod
    def open_session(cls):
        # OpenGL compositing (Mesa's software renderer): KWin takes screenshots only with it.
        return KwinSession(xwayland=True, opengl=True).__enter__()

    def activate(self, window_id):
        self.session.one_shot(ACTIVATE % {"id": window_id})

    def move_as_compositor(self, window_id, x, y):
        _, _, w, h = self.frame(window_id)
        self.session.move_window(window_id, x, y, w, h)

    def click(self, x, y, done):
        # KWin may drop the first events of a fake device just made: the pointer is moved there
        # until KWin has it, then clicked.
        pointer = PointerDevice(self.session)
        try:
            program_scenario.wait_until(lambda: pointer.move_to(x, y) or self.session.one_shot(CURSOR) == f"{x} {y}",
                                        10, "KWin to have the pointer there")
            pointer.click(x, y)
        finally:
            pointer.close()

    def backend_gone(self):
        return not self.session.script_loaded("sizewise")


if __name__ == "__main__":
    unittest.main(verbosity=2)
