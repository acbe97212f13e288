"""Sizewise itself under a headless KWin with Xwayland (tests/wayland/kwin_session.py): it picks the
KWin backend, keeps its own windows (on Xwayland) above the others and its rulers out of the task
bar, and its command line reads and places another program's Wayland window as KWin has it; its
script is gone once it ends. Root is needed. SIZEWISE names the program."""

import os
import signal
import subprocess
import sys
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(os.path.dirname(HERE), "wayland"))
from kwin_session import KwinSession  # noqa: E402
from desktop import wait_until  # noqa: E402

SIZEWISE = os.environ.get("SIZEWISE", os.path.join(os.path.dirname(os.path.dirname(HERE)), "build", "sizewise"))


class SizewiseUnderKWin(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        # Asked for by name (SIZEWISE_KWIN_TESTS): a machine that cannot run it fails, not skips.
        if os.geteuid() != 0 or not os.path.exists("/usr/bin/kwin_wayland") or not os.path.exists(SIZEWISE):
            raise RuntimeError("needs root, kwin-wayland and a built Sizewise (" + SIZEWISE + ")")
        cls.session = KwinSession(xwayland=True).__enter__()

    @classmethod
    def tearDownClass(cls):
        cls.session.stop()

    def sizewise(self, *args):
        """Sizewise as the session's user; Qt picks Xwayland for its windows, as in a Plasma session
        where QT_QPA_PLATFORM is not set."""
        return ["env", "-u", "QT_QPA_PLATFORM", SIZEWISE, *args]

    def command(self, *args):
        done = subprocess.run(self.session.as_user(self.sizewise(*args)), capture_output=True, text=True,
                              timeout=30)
        self.assertEqual(done.returncode, 0, done.stderr)
        return done.stdout.strip()

    def frame(self, window_id):
        return self.session.window(window_id)["frame"]

    def test_the_program_reads_and_places_a_wayland_window_and_keeps_its_own_above(self):
        other, _ = self.session.qt_window("another program")
        theirs = self.session.wait_window(other.pid, "another program")
        program = self.session.spawn(self.sizewise("--no-splash"), "sizewise")
        own = wait_until(lambda: self.set_up(program), 20, "Sizewise's three windows kept above, the rulers as tools")
        self.assertEqual(sorted(w["caption"] for w in own),
                         ["Sizewise", "Sizewise Horizontal Ruler", "Sizewise Vertical Ruler"])
        self.session.one_shot(ACTIVATE % {"id": theirs["id"]})
        x, y, w, h = self.frame(theirs["id"])
        wait_until(lambda: f'"left":{x},' in self.command("get", "--json"), 10, "the window read as KWin has it")
        self.assertIn(f'"title":"another program","top":{y},"width":{w}', self.command("get", "--json"))
        self.command("move", "200", "150")
        wait_until(lambda: self.frame(theirs["id"])[:2] == [200, 150], 10, "the move")
        self.command("size", "333", "222")
        wait_until(lambda: self.frame(theirs["id"]) == [200, 150, 333, 222], 10, "the new size")
        self.assertEqual(self.command("get"), 'Left 200 Top 150 Right 533 Bottom 372 Width 333 Height 222 normal '
                                              'monitor 1 "another program"')
        self.assertTrue(self.session.script_loaded("sizewise"))
        program.send_signal(signal.SIGTERM)
        program.wait(20)
        self.assertFalse(self.session.script_loaded("sizewise"))

    def set_up(self, program):
        """Sizewise's windows once all three are kept above and its rulers are out of the task bar."""
        own = [w for w in self.session.windows() if w["pid"] == program.pid]
        done = len(own) == 3 and all(w["keepAbove"] and (w["skipTaskbar"] or "Ruler" not in w["caption"]) for w in own)
        return own if done else None


# Makes a window the active one, as a user's click would.
ACTIVATE = """
var windows = workspace.clientList();
for (var i = 0; i < windows.length; ++i) {
    if (String(windows[i].internalId) === "%(id)s") workspace.activeClient = windows[i];
}
print("%%(marker)s");
"""

if __name__ == "__main__":
    unittest.main()
