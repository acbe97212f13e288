"""A GTK 3 window with a header bar: a client that draws its own decorations.

Usage: headerbar_client.py TITLE WxH+X+Y
"""

import sys

import gi

gi.require_version("Gtk", "3.0")
from gi.repository import GLib, Gtk  # noqa: E402

# The X11 tests find the window by this WM_CLASS instance name.
GLib.set_prgname("sizewise-headerbar")


def main() -> None:
    title, geometry = sys.argv[1], sys.argv[2]
    size, _, position = geometry.partition("+")
    width, height = (int(v) for v in size.split("x"))
    x, y = (int(v) for v in position.split("+"))
    window = Gtk.Window(title=title)
    window.set_titlebar(Gtk.HeaderBar(title=title, show_close_button=True))
    # Sizes and positions here are those of what is seen, without the shadow.
    window.set_default_size(width, height)
    window.move(x, y)
    window.connect("destroy", Gtk.main_quit)
    window.show_all()
    Gtk.main()


if __name__ == "__main__":
    main()
