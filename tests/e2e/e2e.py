"""Sizewise end to end: one private desktop per suite (scripts/desktop.py), the real program on it,
its controls found and read over AT-SPI as a screen reader finds them, the user's clicks and keys
through XTEST (xdotool), and what is true read from the X server (xwininfo, xprop)."""

import configparser
import os
import re
import sys
import unittest

sys.path.insert(0, os.path.join(os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__)))), "scripts"))
import desktop  # noqa: E402
from desktop import wait_until  # noqa: E402,F401

SIZEWISE = os.environ.get("SIZEWISE") or os.path.join(os.path.dirname(desktop.HERE), "build", "sizewise")
CAPTIONS = ("Left", "Top", "Right", "Bottom", "Width", "Height")
VERSION = os.environ.get("SIZEWISE_VERSION", "1.0.0")
pyatspi = None


class Session(unittest.TestCase):
    wm, tray, two_monitors = "openbox", True, False

    @classmethod
    def setUpClass(cls):
        global pyatspi
        cls.desktop = desktop.Desktop(cls.wm, cls.tray, accessibility=True, two_monitors=cls.two_monitors).__enter__()
        # The AT-SPI bindings find the desktop's bus through the environment, once.
        os.environ.update(DISPLAY=cls.desktop.display, DBUS_SESSION_BUS_ADDRESS=cls.desktop.env["DBUS_SESSION_BUS_ADDRESS"])
        import pyatspi as bindings
        pyatspi = bindings
        cls.proc = None

    @classmethod
    def tearDownClass(cls):
        cls.desktop.stop()

    # --- the program ----------------------------------------------------------------------
    def start(self, *args, shown=True):
        type(self).proc = self.desktop.spawn([SIZEWISE, "--no-splash", *args], "sizewise")
        if shown:
            wait_until(self.main_window, 15, "the main window")

    def settings_path(self):
        return os.path.join(self.desktop.env["XDG_CONFIG_HOME"], "Sizewise", "Sizewise.conf")

    def settings(self):
        ini = configparser.ConfigParser(interpolation=None)
        ini.optionxform = str  # keys as written
        ini.read(self.settings_path())
        return ini

    # --- what it shows, over AT-SPI -------------------------------------------------------
    def find(self, role=None, name=None, description=None, window="Sizewise"):
        """The first control of Sizewise's that fits, in its window of that name (any: None)."""
        fits = lambda n: (role in (None, n.getRoleName()) and name in (None, n.name)
                          and description in (None, n.description))
        tops = [top for app in pyatspi.Registry.getDesktop(0) if app is not None and app.name == "Sizewise"
                for top in app if top is not None and window in (None, top.name)]
        return next((hit for top in tops if (hit := pyatspi.findDescendant(top, fits)) is not None), None)

    def control(self, **how):
        return wait_until(lambda: self.find(**how), 5, f"control {how}")

    def main_window(self):
        top = self.find(role="label", name="Menu")
        return top is not None and self.extents(top)[2] > 0

    def extents(self, node):
        e = node.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
        return e.x, e.y, e.width, e.height

    def values(self):
        return [int(self.control(role="label", description=c).name) for c in CAPTIONS]

    def title(self):
        return self.control(role="label", description="Target window title").name

    # --- the user ---------------------------------------------------------------------------
    def click(self, node=None, button=1, at=None, **how):
        x, y, w, h = self.extents(node or self.control(**how))
        self.xdotool("mousemove", x + (at[0] if at else w // 2), y + (at[1] if at else h // 2), "click", button)

    def xdotool(self, *args):
        return self.desktop.run(["xdotool", *map(str, args)])

    def edit(self, caption, text):
        """Clicks a value, types over it and presses Enter."""
        self.click(role="label", description=caption)
        wait_until(lambda: self.extents(self.find(role="text"))[2] > 0, 3, "the entry panel")
        self.xdotool("key", "ctrl+a", "type", "--delay", 20, "--", text)
        self.xdotool("key", "Return")

    # --- other programs and the X server ----------------------------------------------------
    def client(self, title="Target", geometry="400x300+300+200"):
        window = self.desktop.sample_window(title, geometry)
        if self.wm != "none":
            wait_until(lambda: self.desktop.framed(window), 10, "the window framed")
        return window

    def geometry(self, window):
        """A window's x, y, width and height on the screen."""
        info = self.desktop.run(["xwininfo", "-id", str(window)])
        return tuple(int(re.search(rf"{k}:\s+(-?\d+)", info).group(1))
                     for k in ("Absolute upper-left X", "Absolute upper-left Y", "Width", "Height"))

    def frame_of(self, window):
        info = self.desktop.run(["xwininfo", "-children", "-id", str(window)])
        return int(re.search(r"Parent window id: (0x[0-9a-f]+)", info).group(1), 16)

    def frame(self, window):
        """What is seen of a window (x, y, width, height): the client with the window manager's
        frame extents, or less the shadow a client that draws its own decorations declares."""
        x, y, w, h = self.geometry(window)
        sides = lambda name: [int(v) for v in re.findall(r"-?\d+", self.desktop.run(
            ["xprop", "-id", str(window), name]).partition("=")[2])] or [0, 0, 0, 0]
        left, right, top, bottom = sides("_NET_FRAME_EXTENTS")
        if not any((left, right, top, bottom)):
            left, right, top, bottom = (-v for v in sides("_GTK_FRAME_EXTENTS"))
        return x - left, y - top, w + left + right, h + top + bottom

    def shows(self, window):
        """Whether Sizewise shows the window's frame: Left, Top, Right, Bottom, Width, Height."""
        x, y, w, h = self.frame(window)
        return self.values() == [x, y, x + w, y + h, w, h]

    def window(self, name):
        """The id of Sizewise's (or any) shown window of exactly this name."""
        return int(self.desktop.run(["xdotool", "search", "--onlyvisible", "--name", f"^{name}$"]).split()[0])

    def visible_windows(self):
        r = self.desktop.run(["sh", "-c", "xdotool search --onlyvisible --classname '^sizewise$'; true"])
        return set(r.split())

    def open_menu(self, opener):
        """Runs opener and returns once a pop-up menu has been mapped."""
        before = self.visible_windows()
        opener()
        wait_until(lambda: self.visible_windows() - before, 5, "the pop-up menu")

    def tray_icon(self):
        """Size and place of Sizewise's icon in the notification area, once it is there."""
        panel = self.desktop.run(["xdotool", "search", "--classname", "^tint2$"]).split()[0]
        tree = self.desktop.run(["xwininfo", "-tree", "-id", panel])
        found = re.search(r'\("sizewise" "[^"]*"\)\s+(\d+)x\d+\+-?\d+\+-?\d+\s+\+(-?\d+)\+(-?\d+)', tree)
        return found and tuple(int(v) for v in found.groups())

    def tray_icon_click(self, button=1, aside=False):
        """A click on the icon: at its centre, or aside from it, far enough from a click just made
        there not to make the two a double click (Qt's distance is 5 pixels)."""
        size, x, y = wait_until(self.tray_icon, 10, "the notification icon")
        dx = size // 4 if aside else 0
        self.xdotool("mousemove", x + size // 2 + dx, y + size // 2, "click", button)
