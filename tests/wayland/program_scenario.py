"""Sizewise itself in a headless Wayland session with Xwayland, the same scenario under each
compositor: it picks the compositor's backend, its own windows (on Xwayland) stand where its settings
put them and above the others (the rulers out of the task bar), `get` reads another program's Wayland window as the compositor has
it, `set`, `preset` and `origin` place it exactly, a ruler locked to it by a click follows a move the
compositor makes, and it ends in order. A compositor's test module subclasses Scenario with the
session and the few things done differently there. SIZEWISE names the program; with
SIZEWISE_SCREENSHOT set, the screen with the locked rulers is saved there."""

import configparser
import os
import re
import signal
import sys
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "..", "scripts"))
from compositor_session import wait_until  # noqa: E402

HERE = os.path.dirname(os.path.abspath(__file__))
SIZEWISE = os.environ.get("SIZEWISE", os.path.join(HERE, "..", "..", "build", "sizewise"))
TWIPS = 15  # settings keep edges in twips
# The user's settings: the main window and the rulers away from the Shell's top bar, preset 1.
PLACES = {"main": (900, 300), "Horizontal": (560, 640), "Vertical": (1180, 120)}
PRESET = (520, 310)


class Scenario(unittest.TestCase):
    TITLE = "title"  # the key of a window's title in the session's reports
    ABOVE = "above"

    # --- what each compositor does its own way ----------------------------------------------------
    @classmethod
    def open_session(cls):
        raise NotImplementedError

    def activate(self, window_id):
        raise NotImplementedError

    def move_as_compositor(self, window_id, x, y):
        raise NotImplementedError

    def click(self, x, y, done):
        """A left click; done tells when it has had its effect."""
        raise NotImplementedError

    def backend_gone(self):
        """Whatever Sizewise left in the compositor is gone after it ended."""
        return True

    # --- the scenario -------------------------------------------------------------------------------
    @classmethod
    def setUpClass(cls):
        # Asked for by name: a machine that cannot run it fails, not skips.
        if os.geteuid() != 0 or not os.path.exists(SIZEWISE):
            raise RuntimeError("needs root and a built Sizewise (" + SIZEWISE + ")")
        cls.session = cls.open_session()

    @classmethod
    def tearDownClass(cls):
        cls.session.stop()

    def sizewise(self, *args):
        """Sizewise as the session's user; Qt picks Xwayland for its windows, as in a desktop session
        where QT_QPA_PLATFORM is not set."""
        return ["env", "-u", "QT_QPA_PLATFORM", "QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1", "ASAN_OPTIONS=detect_leaks=0",
                SIZEWISE, *args]

    def command(self, *args):
        done = self.session.run_as_user(self.sizewise(*args))
        self.assertEqual(done.returncode, 0, done.stderr)
        return done.stdout.strip()

    def frame(self, window_id):
        return self.session.window(window_id)["frame"]

    def write_settings(self):
        folder = os.path.join(self.session.env["XDG_CONFIG_HOME"], "Sizewise")
        os.makedirs(folder, exist_ok=True)
        (mx, my), (hx, hy), (vx, vy) = PLACES["main"], PLACES["Horizontal"], PLACES["Vertical"]
        with open(os.path.join(folder, "Sizewise.conf"), "w") as f:
            f.write(f"[Config]\nWindowLeft={mx * TWIPS}\nWindowTop={my * TWIPS}\n"
                    f"PresetWidth_1={PRESET[0]}\ngPresetHeight_1={PRESET[1]}\n"
                    f"[HorizontalRulerConfig]\nLeft={hx * TWIPS}\nTop={hy * TWIPS}\n"
                    f"[VerticalRulerConfig]\nLeft={vx * TWIPS}\nTop={vy * TWIPS}\n")
        self.session._own_tree(self.session.home)

    def own_windows(self, pid):
        """Sizewise's three windows, by title, once all are shown and kept above."""
        own = {w[self.TITLE]: w for w in self.session.windows() if w["pid"] == pid and self.session.shown(w)}
        return own if len(own) == 3 and all(w[self.ABOVE] for w in own.values()) else None

    def atspi(self, action, window, control):
        """A control of Sizewise's over AT-SPI, as the session's user (atspi_control.py): what it
        printed, None when the control was not found."""
        done = self.session.run_as_user(["/usr/bin/python3", self.session.user_copy(os.path.join(HERE, "atspi_control.py")), action,
                                         window, control])
        return done.stdout.strip() if done.returncode == 0 else None

    def control(self, window, description):
        """Where a control of Sizewise's is on the screen."""
        extents = self.atspi("extents", window, description)
        return tuple(map(int, extents.split())) if extents else None

    def x_windows(self):
        """Sizewise's X11 windows on Xwayland, override-redirect ones (menus, the measuring
        overlay) too, which compositors do not list: (name, width, height) each."""
        tree = self.session.run_as_user(["xwininfo", "-root", "-children"]).stdout
        return [(name, int(w), int(h)) for name, w, h in re.findall(r'"([^"]*)": \("sizewise".*?\)\s+(\d+)x(\d+)', tree)]

    def measure_with_the_menu(self):
        """Clicks on other windows are the compositor's to route: Measure in the ruler's menu
        (reached with the keyboard: Qt's menus are not shown over AT-SPI) arms measuring, and both
        clicks are Sizewise's alone, none reaches the window under them."""
        presses = lambda: open(self.session.path("qt.log")).read().count("pressed")
        before = presses()
        ruler = "Sizewise Horizontal Ruler"
        x, y, w, h = wait_until(lambda: self.control(ruler, "Menu"), 10, "the ruler's menu button")
        menu_open = lambda: any(name == "Sizewise" and h < 100 and w < 300 and h > 30 for name, w, h in self.x_windows())
        self.click(x + w // 2, y + h // 2, menu_open)
        wait_until(menu_open, 10, "the ruler's menu open")
        self.session.run_as_user(["xdotool", "key", "--delay", "50", "Down", "Down", "Return"])  # Mode, Measure
        wait_until(lambda: any(name == "Sizewise Measuring" for name, _, _ in self.x_windows()), 10, "the overlay")
        measured = lambda: self.atspi("text", ruler, "Measured Area Dimensions")
        overlaid = lambda: any(name == "Sizewise Measuring" for name, _, _ in self.x_windows())
        self.click(400, 330, lambda: measured() == "0 X 0")
        self.click(460, 360, lambda: not overlaid())  # the end click gives the clicks back
        wait_until(lambda: not overlaid(), 10, "the overlay gone")
        self.assertEqual(measured(), "60 X 30")
        self.assertEqual(presses(), before)

    def test_the_program_on_a_wayland_window(self):
        self.write_settings()
        other, _ = self.session.qt_window("another program")
        theirs = self.session.wait_window(other.pid, "another program")["id"]
        self.activate(theirs)
        program = self.session.spawn(self.sizewise("--no-splash"), "sizewise")
        own = wait_until(lambda: self.own_windows(program.pid), 20, "Sizewise's three windows shown and kept above")
        where = {"main": own["Sizewise"]["frame"][:2]}
        for axis in ("Horizontal", "Vertical"):
            where[axis] = own[f"Sizewise {axis} Ruler"]["frame"][:2]
        self.assertEqual(where, {k: list(v) for k, v in PLACES.items()})
        rulers = ["Sizewise Horizontal Ruler", "Sizewise Vertical Ruler"]
        tools = lambda: [t for t, w in sorted((self.own_windows(program.pid) or {}).items()) if w["skipTaskbar"]]
        wait_until(lambda: tools() == rulers, 10, "the rulers out of the task bar")

        x, y, w, h = self.frame(theirs)
        wait_until(lambda: f'"left":{x},' in self.command("get", "--json"), 10, "the window read as the compositor has it")
        self.assertIn(f'"title":"another program","top":{y},"width":{w}', self.command("get", "--json"))
        self.command("set", "--left", "200", "--top", "150", "--width", "500", "--height", "350")
        wait_until(lambda: self.frame(theirs) == [200, 150, 500, 350], 10, "the values set")
        self.command("preset", "1")
        wait_until(lambda: self.frame(theirs) == [200, 150, *PRESET], 10, "preset 1")
        self.command("origin")
        wait_until(lambda: self.frame(theirs)[:2] == [0, 0], 10, "the window at its monitor's corner")
        self.assertEqual(self.command("get"), f"Left 0 Top 0 Right {PRESET[0]} Bottom {PRESET[1]} Width {PRESET[0]} "
                                              f'Height {PRESET[1]} normal monitor 1 "another program"')

        self.command("move", "240", "200")
        wait_until(lambda: self.frame(theirs)[:2] == [240, 200], 10, "the move")
        edge = lambda axis: next(w["frame"][axis == "Vertical"] for w in self.session.windows()
                                 if w[self.TITLE] == f"Sizewise {axis} Ruler")
        for axis, at in (("Horizontal", 240), ("Vertical", 200)):
            bx, by, bw, bh = wait_until(lambda: self.control(f"Sizewise {axis} Ruler", "Lock Ruler to Active Window"),
                                        10, "the lock button")
            self.click(bx + bw // 2, by + bh // 2, lambda: edge(axis) == at)
            wait_until(lambda: edge(axis) == at, 10, f"the {axis.lower()} ruler locked to the window")
        self.move_as_compositor(theirs, 320, 260)
        wait_until(lambda: (edge("Horizontal"), edge("Vertical")) == (320, 260), 10,
                   "the rulers to follow the compositor's move")
        self.measure_with_the_menu()
        if os.environ.get("SIZEWISE_SCREENSHOT"):
            self.session.screenshot(os.environ["SIZEWISE_SCREENSHOT"])

        program.send_signal(signal.SIGTERM)
        self.assertEqual(program.wait(20), 0)
        self.assertTrue(self.backend_gone())
        settings = configparser.ConfigParser(interpolation=None)
        settings.read(os.path.join(self.session.env["XDG_CONFIG_HOME"], "Sizewise", "Sizewise.conf"))
        self.assertEqual(settings["Config"]["PresetWidth_1"], str(PRESET[0]))  # kept through the run
