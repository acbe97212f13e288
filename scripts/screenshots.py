"""Retakes the README's pictures on a private desktop (openbox, a notification area, a sample
window): the main window, the rulers measuring and the about window, in the light palette of
Qt's own theme and in a dark one (qt6ct's "darker" colours, as a user of a dark desktop has them).
Usage: screenshots.py [BUILD_DIR] (default build); writes docs/*.png."""

import os
import subprocess
import sys

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)
sys.path.insert(0, HERE)
import desktop  # noqa: E402
from desktop import wait_until  # noqa: E402

# Rulers in absolute mode around the sample window, the main window left of it: places in twips
# (15 a pixel).
SETTINGS = """[Config]
ShowRuler=False
WindowLeft=300
WindowTop=4500
[HorizontalRulerConfig]
Left=4200
Top=2400
Width=520
[VerticalRulerConfig]
Left=4050
Top=3150
Height=440
[RulerConfig]
Mode=1
"""
DARK = """[Appearance]
color_scheme_path=/usr/share/qt6ct/colors/darker.conf
custom_palette=true
style=Fusion
"""


def shoot(d, path, x, y, w, h):
    d.run(["import", "-window", "root", "-crop", f"{w}x{h}+{x}+{y}", "+repage", path])
    print("wrote", os.path.relpath(path, ROOT))


def splash(d):
    """The about window while it shows: the one of Sizewise's windows that is wider than the main
    window and taller than a ruler."""
    found = subprocess.run(["xdotool", "search", "--onlyvisible", "--classname", "^sizewise$"],
                           env=d.env, capture_output=True, text=True).stdout.split()
    for window in found:
        g = dict(line.split("=") for line in d.run(["xdotool", "getwindowgeometry", "--shell", window]).split())
        x, y, w, h = (int(g[k]) for k in ("X", "Y", "WIDTH", "HEIGHT"))
        if w > 400 and h > 150:
            return window
    return None


def session(exe, dark):
    suffix = "-dark" if dark else ""
    with desktop.Desktop("openbox", tray=True) as d:
        env = dict(d.env, ASAN_OPTIONS="detect_leaks=0")
        config = env["XDG_CONFIG_HOME"]
        os.makedirs(os.path.join(config, "Sizewise"))
        with open(os.path.join(config, "Sizewise", "Sizewise.conf"), "w") as f:
            f.write(SETTINGS)
        if dark:
            os.makedirs(os.path.join(config, "qt6ct"))
            with open(os.path.join(config, "qt6ct", "qt6ct.conf"), "w") as f:
                f.write(DARK)
            env["QT_QPA_PLATFORMTHEME"] = "qt6ct"
        window = d.sample_window("Sample window", "480x300+330+220")
        d.spawn([exe], "sizewise", env=env)
        shown = lambda name: subprocess.run(["xdotool", "search", "--onlyvisible", "--name", f"^{name}$"],
                                            env=env, capture_output=True).returncode == 0
        # The splash is the about window, shown for three seconds at the start.
        about = wait_until(lambda: splash(d), 15, "the splash")
        d.run(["sleep", "0.5"])
        path = os.path.join(ROOT, "docs", f"about{suffix}.png")
        d.run(["import", "-frame", "-window", about, path])
        print("wrote", os.path.relpath(path, ROOT))
        wait_until(lambda: shown("Sizewise"), 15, "the main window")
        # The rulers only now, so that they cover nothing of the about window.
        subprocess.run([exe, "rulers", "show"], env=env, check=True)
        d.run(["xdotool", "windowactivate", "--sync", str(window), "sleep", "1"])
        shoot(d, os.path.join(ROOT, "docs", f"screenshot{suffix}.png"), 0, 0, 862, 570)
        # Measuring: SHIFT+click at one corner, the pointer at the other.
        d.run(["xdotool", "mousemove", "360", "260", "keydown", "shift", "click", "1", "keyup", "shift",
               "mousemove", "540", "380", "sleep", "0.5"])
        shoot(d, os.path.join(ROOT, "docs", f"rulers{suffix}.png"), 262, 150, 560, 520)
        d.run(["xdotool", "key", "Escape"])


def main():
    build = sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, "build")
    for dark in (False, True):
        session(os.path.join(build, "sizewise"), dark)


if __name__ == "__main__":
    main()
