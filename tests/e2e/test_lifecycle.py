"""The program's life as a user sees it: --help and --version without a display, the splash
before the main window, and a termination signal and a display that dies both ending in order
with the settings saved."""

import os
import signal
import subprocess
import time
import unittest

import e2e
from e2e import wait_until


class Lifecycle(e2e.Session):
    def test_1_help_and_version_need_no_display(self):
        env = {k: v for k, v in os.environ.items() if k != "DISPLAY"}
        run = lambda *args: subprocess.run([e2e.SIZEWISE, *args], env=env, capture_output=True, text=True)
        self.assertIn("--no-splash", run("--help").stdout)
        self.assertRegex(run("--version").stdout, r"^Sizewise \d+\.\d+\.\d+\n$")
        self.assertEqual(run("--bogus").returncode, 1)  # no display: said before the options

    def test_2_the_splash_then_the_main_window_and_a_signal_saves(self):
        began = time.monotonic()
        self.start(splash=True, shown=False)
        wait_until(lambda: self.find(role="label", name="Version " + e2e.VERSION, window=None), 5, "the splash")
        self.assertFalse(self.main_window())
        wait_until(self.main_window, 10, "the main window")
        self.assertGreater(time.monotonic() - began, 2.9)
        self.proc.send_signal(signal.SIGTERM)
        self.assertEqual(self.exit_status(), 0)
        self.assertEqual(len(self.settings()["Config"]), 25)

    def test_3_a_display_that_dies_ends_it_in_order(self):
        self.start()
        os.remove(self.settings_path())
        self.click(role="label", description="Width")  # the entry panel open when it happens
        self.desktop.procs[0].kill()  # the X server
        self.assertEqual(self.exit_status(), 0)
        self.assertEqual(len(self.settings()["Config"]), 25)


if __name__ == "__main__":
    unittest.main(verbosity=2)
