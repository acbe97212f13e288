"""Another program's window for the Wayland tests: a Qt 6 window with this title, which takes a new
title from each line on its standard input ("show" shows one made hidden) and ends when that
closes. Prints its window id first (under Xwayland its X11 window id, which names it to Sizewise
too), then "pressed" at each press of a mouse button on it. --frameless: without a frame, as
Sizewise's rulers; --no-focus: it takes no focus, as a ruler; --hidden: made but not shown.
Usage: qt_window.py TITLE [--frameless] [--no-focus] [--hidden]"""

import sys

from PyQt6.QtCore import QSocketNotifier, Qt
from PyQt6.QtWidgets import QApplication, QWidget


class Window(QWidget):
    def mousePressEvent(self, event):
        print("pressed", flush=True)


title = sys.argv[1]
# Qt puts the program's name in place of an empty title; a program without a name keeps it empty.
app = QApplication(sys.argv[:1] if title else [""])
window = Window()
window.setWindowTitle(title)
window.resize(400, 300)
for option, flag in (("--frameless", Qt.WindowType.FramelessWindowHint),
                     ("--no-focus", Qt.WindowType.WindowDoesNotAcceptFocus)):
    if option in sys.argv:
        window.setWindowFlag(flag)
if "--hidden" not in sys.argv:
    window.show()
print(int(window.winId()), flush=True)


def read_title():
    line = sys.stdin.readline()
    if not line:
        app.quit()
    elif line == "show\n" and window.isHidden():
        window.show()
    else:
        window.setWindowTitle(line.rstrip("\n"))


notifier = QSocketNotifier(sys.stdin.fileno(), QSocketNotifier.Type.Read)
notifier.activated.connect(read_title)
sys.exit(app.exec())
