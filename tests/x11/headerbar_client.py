"""A GTK 3 window with a header bar, a client that draws its own decorations; prints its
window id once it is shown. Usage: headerbar_client.py TITLE"""

import sys

import gi

gi.require_version("Gtk", "3.0")
gi.require_version("GdkX11", "3.0")
from gi.repository import GdkX11, Gtk  # noqa: E402,F401

window = Gtk.Window(title=sys.argv[1])
window.set_titlebar(Gtk.HeaderBar(title=sys.argv[1], show_close_button=True))
window.set_default_size(420, 300)
window.move(120, 110)
window.connect("destroy", Gtk.main_quit)
window.show_all()
print(window.get_window().get_xid(), flush=True)
Gtk.main()
