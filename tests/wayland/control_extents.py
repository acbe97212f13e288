"""Finds a control of a running Sizewise over AT-SPI, in its window of a name, by its description or
its name: prints where it is on the screen, "X Y WIDTH HEIGHT", or with --press presses it as a
screen reader would. Run as the session's user, whose accessibility bus it is.
Usage: control_extents.py [--press] WINDOW_NAME DESCRIPTION_OR_NAME"""

import sys

import pyatspi

press = "--press" in sys.argv
window, wanted = [arg for arg in sys.argv[1:] if arg != "--press"]
for app in pyatspi.Registry.getDesktop(0):
    if app is None or app.name != "Sizewise":
        continue
    for top in app:
        if top is not None and top.name == window:
            hit = pyatspi.findDescendant(top, lambda node: wanted in (node.description, node.name))
            if hit is None:
                continue
            if press:
                hit.queryAction().doAction(0)
            else:
                e = hit.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
                print(e.x, e.y, e.width, e.height)
            sys.exit(0)
sys.exit(1)
