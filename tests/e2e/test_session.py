"""A user's sessions with Sizewise on openbox with a notification area, one after another on one
desktop: values, edits, presets, states and the view; hiding, closing and Exit; a second start;
the rulers; a display that dies."""

import json
import os
import signal
import subprocess
import sys
import unittest

import e2e
from e2e import wait_until


class Session(e2e.Session):
    def target_is(self, window, frame):
        wait_until(lambda: self.frame(window) == frame, 5, f"the frame {frame}")
        wait_until(lambda: self.shows(window), 5, "the values to follow")

    def test_1_help_and_version_need_no_display(self):
        env = {k: v for k, v in os.environ.items() if k != "DISPLAY"}
        run = lambda *args: subprocess.run([e2e.SIZEWISE, *args], env=env, capture_output=True, text=True)
        self.assertIn("--no-splash", run("--help").stdout)
        self.assertRegex(run("--version").stdout, r"^Sizewise \d+\.\d+\.\d+\n$")
        self.assertEqual(run("--bogus").returncode, 1)  # no display: said before the options

    def sizewise(self, *args):
        r = subprocess.run([e2e.SIZEWISE, *args], env=self.desktop.env, capture_output=True, text=True, timeout=10)
        return r.returncode, r.stdout, r.stderr

    def test_1b_commands_alone_and_through_the_running_program_and_a_shortcut(self):
        # A client that draws its own decorations and shadow: get reads the frame seen.
        client = os.path.join(os.path.dirname(os.path.dirname(os.path.abspath(__file__))), "x11", "headerbar_client.py")
        drawn = self.desktop.spawn([sys.executable, client, "Drawn"], "drawn", stdout=subprocess.PIPE)
        window = int(drawn.stdout.readline())
        wait_until(lambda: self.desktop.run(["xdotool", "getactivewindow"]).strip() == str(window), 10, "Drawn active")
        wait_until(lambda: self.frame(window)[2] > 0, 5, "the frame")
        status, out, _ = self.sizewise("get", "--json")
        got = json.loads(out)
        self.assertEqual((status, got["title"], got["state"], got["window"]), (0, "Drawn", "normal", window))
        self.assertEqual((got["left"], got["top"], got["width"], got["height"]), self.frame(window))
        self.assertEqual(self.sizewise("set", "--left", "40", "--width", "500")[0], 0)
        self.assertEqual(self.frame(window)[::2], (40, 500))
        self.assertEqual(self.sizewise("preset", "7"), (2, "", "Sizewise: preset 7 is not set; nothing was done\n"))
        self.assertEqual(self.sizewise("rulers", "show")[0], 1)  # only the running program has rulers
        # With Sizewise running: its target, shown at once in its window.
        self.start()
        wait_until(lambda: self.title() == "Drawn", 5, "Drawn as the target")
        self.assertEqual(self.sizewise("preset", "0")[:2], (0, ""))
        self.assertEqual(self.frame(window)[2:], (640, 480))
        wait_until(lambda: self.shows(window), 5, "the values to follow")
        # A global shortcut, pressed while the client has the keyboard: preset 1.
        self.xdotool("key", "ctrl+alt+shift+1")
        wait_until(lambda: self.frame(window)[2:] == (800, 600), 5, "the preset's size")
        self.proc.terminate()
        self.assertEqual(self.proc.wait(timeout=10), 0)
        drawn.terminate()

    def test_2_values_typed_presets_states_and_the_layout_view(self):
        window = self.client("Target", "400x300+300+200")
        self.start()
        wait_until(lambda: self.shows(window), 5, "the target's values")
        self.assertEqual(self.title(), "Target")
        x, y, w, h = self.frame(window)
        for caption, text, frame in (("Width", "500", (x, y, 500, h)), ("Left", "123", (123, y, 500, h)),
                                     ("Bottom", str(y + h - 33), (123, y, 500, h - 33))):
            self.edit(caption, text)
            self.target_is(window, frame)
        self.click(role="push button", name="0")
        self.target_is(window, (123, y, 640, 480))
        self.click(role="push button", name="0,0")
        self.target_is(window, (0, 0, 640, 480))
        states = lambda: self.desktop.run(["xprop", "-id", str(window), "_NET_WM_STATE"])
        for button, state in (("Maximize", "_NET_WM_STATE_MAXIMIZED_HORZ"), ("Minimize", "_NET_WM_STATE_HIDDEN")):
            self.click(description=f"{button} Target Window")
            wait_until(lambda: state in states(), 5, state)
            self.click(description="Restore Target Window")
            wait_until(lambda: state not in states(), 5, f"no {state}")
        self.target_is(window, (0, 0, 640, 480))
        ix, iy, iw, ih = self.extents(self.control(role="image"))
        self.xdotool("mousemove", ix + 5, iy + 5, "mousedown", 1, "mousemove", ix + 25, iy + 15, "mouseup", 1)
        wait_until(lambda: self.frame(window)[0] > 150 and self.frame(window)[1] > 60, 5, "the target dragged")

    def test_3_hidden_to_the_icon_closed_and_exit_saves(self):
        where = self.extents(self.control(role="label", name="Menu"))
        self.tray_icon_click()
        wait_until(lambda: not self.main_window(), 5, "the window hidden")
        self.tray_icon_click(aside=True)
        wait_until(self.main_window, 5, "the window shown")
        self.assertEqual(self.extents(self.find(role="label", name="Menu")), where)
        self.desktop.run(["wmctrl", "-F", "-c", "Sizewise"])  # the window manager's close
        wait_until(lambda: not self.main_window(), 5, "the close box to hide the window")
        self.assertIsNone(self.proc.poll())
        self.open_menu(lambda: self.tray_icon_click(3))
        self.xdotool("key", "x")  # E&xit
        self.assertEqual(self.proc.wait(timeout=10), 0)
        self.assertEqual(self.settings()["Config"]["Hidden"], "True")
        self.assertEqual(len(self.settings()["Config"]), 25)

    def test_4_a_hidden_start_and_a_second_start_that_hands_over(self):
        self.start(shown=False)
        wait_until(self.tray_icon, 10, "the notification icon")
        self.assertFalse(self.main_window())
        second = self.desktop.spawn([e2e.SIZEWISE, "--no-splash"], "second")
        self.assertEqual(second.wait(timeout=10), 0)
        wait_until(self.main_window, 5, "the running one shown")

    def test_5_rulers_locked_following_measuring_and_closed(self):
        # The target counts the clicks it gets (xev prints each press).
        self.desktop.spawn(["stdbuf", "-oL", "xev", "-name", "Ruled", "-geometry", "400x300+300+200",
                            "-event", "button"], "ruled")
        search = ["sh", "-c", "xdotool search --onlyvisible --name '^Ruled$'; true"]
        window = int(wait_until(lambda: self.desktop.run(search).split(), 10, "the window")[0])
        wait_until(lambda: self.desktop.framed(window), 10, "the window framed")
        ruler = "Sizewise Horizontal Ruler"
        presses = lambda: self.desktop.log("ruled").count("ButtonPress")
        self.xdotool("windowactivate", "--sync", window)
        wait_until(lambda: self.shows(window), 5, "the target's values")
        self.click(description="Lock Ruler to Active Window", window=ruler)
        rulers = {axis: self.window(f"Sizewise {axis} Ruler") for axis in ("Horizontal", "Vertical")}
        wait_until(lambda: self.geometry(rulers["Horizontal"])[0::2] == self.frame(window)[0::2], 5, "the ruler on it")
        self.xdotool("windowmove", self.frame_of(window), 250, 150)  # another program moves it
        wait_until(lambda: self.geometry(rulers["Horizontal"])[0] == 250, 5, "the ruler to follow")
        # SHIFT and a click start, the next click ends; relative moves, as a mouse makes them
        # (XTEST's absolute ones send no raw motion).
        label = lambda what: self.find(role="label", description=what, window=ruler).name
        self.xdotool("mousemove", 400, 400, "keydown", "shift", "click", 1, "keyup", "shift",
                     "mousemove_relative", "--", 60, 30)
        wait_until(lambda: label("Measured Area Dimensions") == "60 X 30", 5, "the measure")
        self.xdotool("click", 1, "mousemove_relative", "--", 5, 5)
        top = self.geometry(rulers["Vertical"])[1]
        wait_until(lambda: label("Cursor Co-ordinates") == f"{465 - 250},{435 - top}", 5, "relative co-ordinates")
        self.assertEqual(label("Measured Area Dimensions"), "60 X 30")  # ended by the click
        self.assertEqual(presses(), 0)  # measuring clicks are Sizewise's alone
        self.xdotool("click", 1)
        wait_until(lambda: presses() == 1, 5, "a plain click to reach the window")
        self.open_menu(lambda: self.click(role="push button", name="Menu", window=ruler))
        self.xdotool("key", "--delay", 50, "Down", "Right", "Down", "Return")  # Mode > Absolute
        self.xdotool("mousemove", 460, 430, "mousemove_relative", 1, 1)
        wait_until(lambda: label("Cursor Co-ordinates") == "461,431", 5, "absolute co-ordinates")
        self.click(description="Hide Rulers", window=ruler)
        wait_until(lambda: not self.extents(self.find(description="Hide Rulers", window=ruler))[2], 5, "hidden")
        self.proc.send_signal(signal.SIGTERM)
        self.assertEqual(self.proc.wait(timeout=10), 0)
        settings = self.settings()
        self.assertEqual((settings["Config"]["ShowRuler"], settings["RulerConfig"]["Mode"]), ("False", "1"))
        self.assertEqual(settings["HorizontalRulerConfig"]["Width"], "433")  # its free length, though locked

    def test_6_a_display_that_dies_ends_it_in_order(self):
        self.start()
        os.remove(self.settings_path())
        self.click(role="label", description="Width")  # the entry panel open when it happens
        self.desktop.procs[0].kill()  # the X server
        self.assertEqual(self.proc.wait(timeout=10), 0)
        self.assertEqual(len(self.settings()["Config"]), 25)


if __name__ == "__main__":
    unittest.main(verbosity=2)
