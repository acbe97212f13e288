"""The start-up splash, the about box, help at its contents and the e-mail and web buttons, with the
real program on a private desktop."""

import os
import re
import shutil
import signal
import stat
import sys
import time
import unittest
from urllib.parse import unquote

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import harness  # noqa: E402

# The about box's Close button, in its own client pixels.
CLOSE_BUTTON = (440, 192, 49, 25)
MAIL_BUTTON = (8 + 32, 104 + 16)
WEB_BUTTON = (72 + 32, 88 + 32)
# Inside the web button's square but outside its ellipse.
WEB_BUTTON_CORNER = (72 + 3, 88 + 3)


def project_address(name: str) -> str:
    """The address the build gave the program: the tests get it from CMake, or read the default."""
    if os.environ.get(name):
        return os.environ[name]
    with open(os.path.join(harness._REPO, "CMakeLists.txt")) as f:
        return re.search(rf'set\({name} "([^"]*)"', f.read()).group(1)


class FinishTest(harness.DesktopTest):
    def close_button_drawn(self, about: int) -> bool:
        return self.desktop.distinct_colours(self.desktop.capture(about, CLOSE_BUTTON)) > 1

    def dialogs(self) -> list:
        """Sizewise's viewable windows that stand for another of its windows (message boxes)."""
        d, found = self.desktop, []
        for window in d.search("--onlyvisible", "--classname", "^sizewise$"):
            transient = d.run(["xprop", "-id", str(window), "WM_TRANSIENT_FOR"], check=False)
            if "window id" in transient and d.is_viewable(window) and window != d.about_window():
                found.append(window)
        return found

    def use_program_copy(self, with_help: bool) -> None:
        """Runs a copy of the program in a folder of its own, with a help page of this test's or
        none, for the rest of this test."""
        self.addCleanup(setattr, harness, "SIZEWISE", harness.SIZEWISE)
        folder = os.path.join(self.desktop.dir, "bin")
        os.makedirs(folder)
        shutil.copy(harness.SIZEWISE, folder)
        if with_help:
            os.makedirs(os.path.join(folder, "help"))
            with open(os.path.join(folder, "help", "index.html"), "w") as f:
                f.write("<html><head><title>Test contents</title></head>"
                        "<body><p>Contents of the test help</p></body></html>")
        harness.SIZEWISE = os.path.join(folder, "sizewise")

    def opener_on_path(self) -> str:
        """An xdg-open of the test's own, first on the PATH, that records its arguments to a file."""
        folder = os.path.join(self.desktop.dir, "opener")
        os.makedirs(folder)
        record = os.path.join(folder, "opened")
        script = os.path.join(folder, "xdg-open")
        with open(script, "w") as f:
            f.write(f'#!/bin/sh\nprintf "%s\\n" "$@" >> "{record}"\n')
        os.chmod(script, os.stat(script).st_mode | stat.S_IEXEC)
        self.desktop.env["PATH"] = folder + os.pathsep + self.desktop.env["PATH"]
        return record

    def test_splash_without_close_then_main_window_after_three_seconds(self) -> None:
        d = self.desktop
        started = time.monotonic()
        d.sizewise = d.spawn_sizewise()
        about = harness.wait_until(d.about_window, timeout=10, what="the splash")
        self.assertIsNone(d.main_window(), "the main window waits for the splash")
        time.sleep(0.3)  # drawn
        self.assertFalse(self.close_button_drawn(about), "the splash has no Close button")
        harness.wait_until(d.main_window, timeout=10, what="the main window")
        shown_after = time.monotonic() - started
        self.assertGreaterEqual(shown_after, 3.0)
        self.assertLess(shown_after, 6.0)
        self.assertIsNone(d.about_window(), "the splash has closed")

    def test_right_click_on_the_icon_closes_the_splash_and_opens_the_menu(self) -> None:
        d = self.desktop
        started = time.monotonic()
        d.sizewise = d.spawn_sizewise()
        harness.wait_until(d.about_window, timeout=10, what="the splash")
        d.click_tray_icon(3)
        harness.wait_until(d.popup_menu, timeout=3, what="the pop-up menu")
        self.assertIsNone(d.about_window(), "the splash has closed")
        self.assertLess(time.monotonic() - started, 3.0, "closed before its time")
        d.key("Escape")
        harness.wait_until(d.main_window, timeout=5, what="the main window")

    def test_sigterm_during_the_splash_saves_and_ends_with_status_0(self) -> None:
        d = self.desktop
        d.sizewise = d.spawn_sizewise()
        harness.wait_until(d.about_window, timeout=10, what="the splash")
        self.send_signal(signal.SIGTERM)
        self.assert_exits_cleanly()
        self.assert_settings_sound()
        self.assertIsNone(d.main_window(mapped=False))

    def test_about_box_from_the_menu_stays_until_close(self) -> None:
        d = self.desktop
        main = self.start_sizewise()
        d.open_menu(main)
        d.key("a")
        about = harness.wait_until(d.about_window, timeout=3, what="the about box")
        time.sleep(3.5)  # longer than the splash stays
        self.assertEqual(d.about_window(), about, "the about box stays")
        self.assertTrue(self.close_button_drawn(about), "the about box has a Close button")
        x, y, w, h = CLOSE_BUTTON
        d.click(about, x + w // 2, y + h // 2)
        harness.wait_until(lambda: d.about_window() is None, timeout=3, what="the about box to close")
        self.assert_sizewise_running()

    def test_help_contents_opens_the_help_window_at_its_contents(self) -> None:
        d = self.desktop
        self.use_program_copy(with_help=True)
        main = self.start_sizewise()
        d.open_menu(main)
        d.key("h", "c")  # H first reaches "&Help", the first of the entries with that letter
        help_window = harness.wait_until(
            lambda: d.search("--onlyvisible", "--name", "^Test contents - Sizewise Help$"), timeout=5,
            what="the help window at its contents")
        self.assertEqual(len(help_window), 1)
        self.assert_sizewise_running()

    def test_missing_help_is_said(self) -> None:
        d = self.desktop
        self.use_program_copy(with_help=False)
        main = self.start_sizewise()
        d.open_menu(main)
        d.key("h", "c")
        harness.wait_until(self.dialogs, timeout=5, what="a message that the help is missing")
        self.assertEqual(d.search("--onlyvisible", "--name", "Sizewise Help$"), [])

    def test_mail_and_web_buttons_hand_their_addresses_to_the_opener(self) -> None:
        d = self.desktop
        record = self.opener_on_path()
        main = self.start_sizewise()
        d.click(main, *WEB_BUTTON_CORNER)  # outside the ellipse: nothing opens
        d.click(main, *MAIL_BUTTON)
        d.click(main, *WEB_BUTTON)
        expected = ["mailto:" + project_address("SIZEWISE_EMAIL") + "?Subject=Sizewise Application",
                    project_address("SIZEWISE_HOMEPAGE")]

        def opened():
            try:
                with open(record) as f:
                    lines = [unquote(line.strip()) for line in f if line.strip()]
            except FileNotFoundError:
                return None
            return lines if len(lines) >= 2 else None

        self.assertEqual(harness.wait_until(opened, timeout=5, what="both links opened"), expected)
        time.sleep(0.3)
        self.assertEqual(opened(), expected, "nothing else was opened")
        self.assertEqual(self.dialogs(), [])

    def test_a_link_nothing_can_open_is_said(self) -> None:
        d = self.desktop
        empty = os.path.join(d.dir, "empty")
        os.makedirs(empty)
        main = d.start_sizewise(env={"PATH": empty, "BROWSER": None, "DEFAULT_BROWSER": None})
        d.click(main, *WEB_BUTTON)
        harness.wait_until(self.dialogs, timeout=5, what="a message that the link cannot be opened")


if __name__ == "__main__":
    unittest.main(verbosity=2)
