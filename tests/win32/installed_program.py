#!/usr/bin/env python3
"""The Windows program as a user gets it, under Wine on a private desktop (openbox and a notification
area): installed silently; started with settings of its own in %APPDATA%; reading and placing the
window of another Windows program (Wine's Notepad) through its command line and a global shortcut,
checked against the X server's frame of that window; its icon docked; a second start handed over to
the first; Exit from its menu and the session's end saving the settings; uninstalled, with the
settings kept.
Usage: installed_program.py SETUP_EXE WORK_FOLDER"""
import glob
import json
import os
import re
import shutil
import subprocess
import sys

from Xlib import X, display as xdisplay

from run_under_wine import DPI, QUIET, prepare_template  # also puts scripts/ on the path
from desktop import Desktop, wait_until  # noqa: E402

TWIPS = 1440 // DPI
UNINSTALL_KEY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\Sizewise"


class Scenario:
    def __init__(self, desktop, prefix):
        self.desktop, self.prefix = desktop, prefix
        self.env = dict(desktop.env, WINEPREFIX=prefix, **QUIET)
        self.user = os.path.join(prefix, "drive_c", "users", os.environ.get("USER", "root"))
        self.program = os.path.join(self.user, "AppData", "Local", "Programs", "Sizewise")
        self.ini = os.path.join(self.user, "AppData", "Roaming", "Sizewise", "Sizewise.ini")

    def wine(self, *args, timeout=60):
        return subprocess.run(["wine", *args], env=self.env, stdin=subprocess.DEVNULL, capture_output=True,
                              text=True, timeout=timeout)

    def sizewise(self, *args):
        """A second start of the installed program with a command: (status, printed)."""
        r = self.wine(os.path.join(self.program, "sizewise.exe"), *args)
        return r.returncode, r.stdout.replace("\r\n", "\n")

    def xdotool(self, *args):
        return self.desktop.run(["xdotool", *map(str, args)]).split()

    def window(self, name):
        return int(wait_until(lambda: self.xdotool_quiet("search", "--onlyvisible", "--name", name), 30,
                              f"a window named {name!r}")[0])

    def xdotool_quiet(self, *args):
        r = subprocess.run(["xdotool", *args], env=self.desktop.env, capture_output=True, text=True)
        return r.stdout.split()

    def frame(self, window):
        """The window with the window manager's frame, as the X server has it: (x, y, width, height)."""
        info = self.desktop.run(["xwininfo", "-id", str(window)])
        x, y, w, h = (int(re.search(rf"{k}:\s+(-?\d+)", info).group(1)) for k in (
            "Absolute upper-left X", "Absolute upper-left Y", "Width", "Height"))
        extents = self.desktop.run(["xprop", "-id", str(window), "_NET_FRAME_EXTENTS"]).partition("=")[2]
        left, right, top, bottom = [int(v) for v in re.findall(r"\d+", extents)] or [0, 0, 0, 0]
        return x - left, y - top, w + left + right, h + top + bottom

    def docked_icons(self):
        """The windows the notification area holds: each is reparented into tint2's panel."""
        d = xdisplay.Display(self.desktop.display)
        try:
            xembed = d.intern_atom("_XEMBED_INFO")
            found = []

            def walk(window, depth):
                for child in window.query_tree().children:
                    if depth > 0 and child.get_full_property(xembed, X.AnyPropertyType) is not None:
                        found.append(child.id)
                    walk(child, depth + 1)

            walk(d.screen().root, 0)
            return found
        finally:
            d.close()

    def read_settings(self):
        with open(self.ini, encoding="utf-8") as f:
            return f.read().replace("\r\n", "\n")


def check(condition, what):
    if not condition:
        raise AssertionError(what)
    print(f"installed program: {what.split(':')[0]}")


def install(s, setup):
    check(s.wine(setup, "/S", timeout=120).returncode == 0, "the installer ran silently")
    check(os.path.exists(os.path.join(s.program, "sizewise.exe")), "the program is in %LOCALAPPDATA%\\Programs")
    menu = os.path.join(s.user, "AppData", "Roaming", "Microsoft", "Windows", "Start Menu", "Programs")
    check(os.path.exists(os.path.join(menu, "Sizewise.lnk")), "a Start Menu entry")
    key = s.wine("reg", "query", UNINSTALL_KEY).stdout
    check("Sizewise" in key and "uninstall.exe" in key, f"an uninstall entry: {key}")
    status, out = s.sizewise("--version")
    version = out.split()[-1] if status == 0 and out.startswith("Sizewise ") else None
    # The version resource's strings are UTF-16, each name followed by its value after padding.
    with open(os.path.join(s.program, "sizewise.exe"), "rb") as f:
        text = f.read().decode("utf-16-le", errors="replace")
    values = dict(re.findall(r"(ProductName|FileVersion|ProductVersion)\0+([^\0]+)", text))
    check(version and values == {"ProductName": "Sizewise", "FileVersion": version, "ProductVersion": version},
          f"--version prints to the console and the version resource says the same: {out!r} {values}")


def main():
    setup, work = (os.path.abspath(a) for a in sys.argv[1:3])
    template = os.path.join(work, "wineprefix-template")
    prepare_template(template)
    with Desktop("openbox") as desktop:
        prefix = os.path.join(desktop.dir, "wineprefix")  # removed with the desktop
        shutil.copytree(template, prefix, symlinks=True)
        s = Scenario(desktop, prefix)
        try:
            run(s, setup)
        finally:
            subprocess.run(["wineserver", "-k"], env=s.env, timeout=60)
    print("installed program: every step passed")
    return 0


def run(s, setup):
    install(s, setup)
    # Wine draws the windows' frames itself, as Windows does, rather than leave them to the window
    # manager: only then is a window's rectangle in Windows what the X server shows.
    s.wine("reg", "add", r"HKCU\Software\Wine\X11 Driver", "/v", "Decorated", "/d", "N", "/f")
    # Settings of the user's own: a preset and the rulers' places, a value that is not a yes or
    # no (the default counts) and a key this version does not know (kept).
    os.makedirs(os.path.dirname(s.ini))
    with open(s.ini, "w") as f:
        f.write("[Config]\nPresetWidth_1=700\ngPresetHeight_1=500\nShowLayout=nonsense\n"
                f"[HorizontalRulerConfig]\nLeft={100 * TWIPS}\nTop={600 * TWIPS}\n"
                f"[VerticalRulerConfig]\nLeft={900 * TWIPS}\nTop={200 * TWIPS}\n[Kept]\nUnknown=Kept as it was\n")

    notepad = s.desktop.spawn(["wine", "notepad"], "notepad", env=s.env)
    target = s.window("Notepad")
    wait_until(lambda: s.xdotool_quiet("getactivewindow") == [str(target)], 10, "Notepad in front")
    check(not s.docked_icons(), "no icon in the notification area before the start")
    program = s.desktop.spawn(["wine", os.path.join(s.program, "sizewise.exe"), "--no-splash"], "sizewise",
                              env=s.env)
    main_window = s.window("^Sizewise$")
    wait_until(s.docked_icons, 20, "the icon in the notification area")
    check(len(s.docked_icons()) == 1, "the icon docks in the notification area")
    rulers = [s.window(f"^Sizewise {axis} Ruler$") for axis in ("Horizontal", "Vertical")]
    check([s.frame(r)[:2] for r in rulers] == [(100, 600), (900, 200)],
          f"the rulers stand where the settings put them: {[s.frame(r) for r in rulers]}")

    # Notepad in front again: the target whose frame the command line reads.
    s.xdotool("windowactivate", "--sync", target)
    status, out = s.sizewise("get", "--json")
    got = json.loads(out or "{}")
    seen = s.frame(target)
    check(status == 0 and (got.get("left"), got.get("top"), got.get("width"), got.get("height")) == seen,
          f"get reads Notepad's frame as the X server has it: {status} {out!r} against {seen}")
    check(s.sizewise("set", "--left", "40", "--top", "30", "--width", "500", "--height", "350")[0] == 0
          and s.frame(target) == (40, 30, 500, 350), f"set places it exactly: {s.frame(target)}")
    check(s.sizewise("preset", "1")[0] == 0 and s.frame(target) == (40, 30, 700, 500),
          f"the user's preset sizes it exactly: {s.frame(target)}")
    # A global shortcut pressed while Notepad has the keyboard: preset 0.
    s.xdotool("key", "ctrl+alt+shift+0")
    wait_until(lambda: s.frame(target) == (40, 30, 640, 480), 10, "preset 0's size")
    check(True, "a global shortcut sizes it")

    # A second start while the main window is hidden: the first shows it, the second ends.
    check(s.sizewise("hide")[0] == 0, "hide")
    wait_until(lambda: not s.xdotool_quiet("search", "--onlyvisible", "--name", "^Sizewise$"), 10,
               "the main window hidden")
    check(s.sizewise()[0] == 0, "a second start ends at once")
    s.window("^Sizewise$")
    check(program.poll() is None, "a second start hands over to the first, which shows its window")
    s.xdotool("windowactivate", "--sync", main_window)
    s.xdotool("key", "F1")
    help_window = s.window("^Sizewise Help: Contents - Sizewise Help$")  # named by the page it shows
    check(True, "F1 opens the help pages installed beside the program")

    # The rulers hidden, then Exit from the main window's menu: the settings are saved.
    check(s.sizewise("rulers", "hide")[0] == 0, "rulers hide")
    wait_until(lambda: not s.xdotool_quiet("search", "--onlyvisible", "--name", "Ruler$"), 10, "no ruler shown")
    s.xdotool("windowactivate", "--sync", main_window)
    shown = lambda: s.xdotool_quiet("search", "--onlyvisible", "--class", "sizewise.exe")
    before = len(shown())
    s.xdotool("key", "shift+F10")
    wait_until(lambda: len(shown()) > before, 10, "the menu")
    s.xdotool("key", "x")
    check(program.wait(timeout=30) == 0, "Exit from the menu ends the program")
    saved = s.read_settings()
    check("ShowRuler=False" in saved and "PresetWidth_1=700" in saved, f"Exit saves the settings: {saved}")
    check("ShowLayout=True" in saved and "Unknown=Kept as it was" in saved,
          "a value that was not a yes or no is written as the default; an unknown key is kept")

    # Started again, the rulers shown, then the user logs off: the settings are saved.
    program = s.desktop.spawn(["wine", os.path.join(s.program, "sizewise.exe"), "--no-splash"], "sizewise",
                              env=s.env)
    s.window("^Sizewise$")
    check(s.sizewise("rulers", "show")[0] == 0, "rulers show")
    s.window("Ruler$")
    # As Windows does, Wine ends the process itself once it has answered the session's end.
    check(s.wine("wineboot", "--end-session").returncode == 0, "the session ends")
    program.wait(timeout=30)
    check("ShowRuler=True" in s.read_settings(), "the session's end saves the settings")

    notepad.terminate()
    uninstaller = os.path.join(s.program, "uninstall.exe")
    check(s.wine(uninstaller, "/S", timeout=120).returncode == 0, "the uninstaller ran silently")
    # The uninstaller copies itself away and returns at once; its copy does the work.
    wait_until(lambda: not os.path.exists(os.path.join(s.program, "sizewise.exe")), 60, "the program removed")
    check(s.wine("reg", "query", UNINSTALL_KEY).returncode != 0, "the uninstall entry removed")
    check(os.path.exists(s.ini) and "Unknown=Kept as it was" in s.read_settings(), "the settings are kept")


if __name__ == "__main__":
    sys.exit(main())
