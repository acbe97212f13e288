"""Sizewise itself under a headless GNOME Shell with Xwayland and Sizewise's extension
(tests/wayland/program_scenario.py): the GNOME backend, clicks through Mutter's RemoteDesktop.
Root is needed. SIZEWISE names the program."""

import configparser
import os
import sys
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, os.path.join(os.path.dirname(HERE), "wayland"))
sys.path.insert(0, os.path.join(os.path.dirname(HERE), "..", "scripts"))
import program_scenario  # noqa: E402
from gnome_session import EXTENSION_UUID, PROBE_UUID, GnomeSession, RemoteInput, wait_until  # noqa: E402


class SizewiseUnderGnome(program_scenario.Scenario):
    @classmethod
    def open_session(cls):
        return GnomeSession(x11=True).__enter__()

    def activate(self, window_id):
        self.session.eval(f"global.get_window_actors().map(a => a.meta_window).find(w => w.get_id() == {window_id})"
                          ".activate(global.get_current_time())")

    def move_as_compositor(self, window_id, x, y):
        self.session.move_window(window_id, x, y)

    def click(self, x, y, done):
        # Mutter 43 here often gives a press on an Xwayland window to moving the focus alone, when
        # the focus was on another window (seen on a plain Qt check box too, by RemoteDesktop and
        # XTEST alike); a second press then reaches the window, as a user's second click would.
        remote = RemoteInput(self.session)
        try:
            for _ in range(2):
                remote.move_to(x, y)
                remote.button(True)
                remote.button(False)
                try:
                    return wait_until(done, 3, "the click's effect")
                except AssertionError:
                    pass
        finally:
            remote.close()


class TheExtensionOffered(unittest.TestCase):
    """Under GNOME Shell without Sizewise's extension, Sizewise says so, works on Xwayland and
    offers the extension once; accepted, it is installed and enabled for the next log-in."""

    def test_the_extension_is_offered_and_installed_for_the_next_log_in(self):
        with GnomeSession(x11=True, extensions=[PROBE_UUID], installed=[PROBE_UUID]) as session:
            scenario = SizewiseUnderGnome("test_the_program_on_a_wayland_window")
            scenario.session = session
            program = session.spawn(scenario.sizewise("--no-splash"), "sizewise")
            wait_until(lambda: scenario.atspi("press", "Sizewise for GNOME Shell", "Install") is not None, 20,
                       "the offer, accepted")
            extension = os.path.join(session.extensions_dir, EXTENSION_UUID, "metadata.json")
            enabled = lambda: session.run_as_user(["gsettings", "get", "org.gnome.shell", "enabled-extensions"]).stdout
            wait_until(lambda: os.path.exists(extension) and EXTENSION_UUID in enabled(), 20, "the extension installed")
            self.assertIn(PROBE_UUID, enabled())  # the user's own stay enabled
            program.terminate()
            self.assertEqual(program.wait(20), 0)
            with open(session.path("sizewise.log")) as log:
                self.assertIn("with its GNOME Shell extension, which is not installed", log.read())
            settings = configparser.ConfigParser(interpolation=None)
            settings.read(os.path.join(session.env["XDG_CONFIG_HOME"], "Sizewise", "Sizewise.conf"))
            self.assertEqual(settings["Setup"]["Offered"], "2")  # asked once


if __name__ == "__main__":
    unittest.main(verbosity=2)
