"""Finds a control of a running Sizewise over AT-SPI, by its description or its name, in its window
of a name ("*": in any): prints where it is on the screen ("X Y WIDTH HEIGHT"), or its text while
it is shown, or presses it as a screen reader would. Run as the session's user, whose accessibility bus it is.
Usage: atspi_control.py extents|text|press WINDOW_NAME DESCRIPTION_OR_NAME"""

import sys

import pyatspi

action, window, wanted = sys.argv[1:4]
for app in pyatspi.Registry.getDesktop(0):
    if app is None or app.name != "Sizewise":
        continue
    for top in app:
        if top is None or window not in ("*", top.name):
            continue
        hit = pyatspi.findDescendant(top, lambda node: wanted in (node.description, node.name))
        if hit is None:
            continue
        if action == "press":
            hit.queryAction().doAction(0)
        elif action == "text":
            if not hit.getState().contains(pyatspi.STATE_SHOWING):
                sys.exit(1)
            print(hit.name)
        else:
            e = hit.queryComponent().getExtents(pyatspi.DESKTOP_COORDS)
            print(e.x, e.y, e.width, e.height)
        sys.exit(0)
sys.exit(1)
