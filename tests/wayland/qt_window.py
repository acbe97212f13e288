"""A Qt 6 window for the Wayland tests, like Sizewise's own (frameless on request) or any Qt program's;
prints "shown" once shown and "pressed" at each press of a mouse button on it, and takes a new
title from each line on its standard input.
Usage: qt_window.py TITLE [--frameless]"""

import sys

from PyQt6.QtCore import QSocketNotifier, Qt
from PyQt6.QtWidgets import QApplication, QWidget

class Window(QWidget):
    def mousePressEvent(self, event):
        print("pressed", flush=True)


app = QApplication(sys.argv[:1])
window = Window()
if "--frameless" in sys.argv:
    window.setWindowFlag(Qt.WindowType.FramelessWindowHint)
window.setWindowTitle(sys.argv[1])
window.resize(400, 300)
window.show()


def read_title():
    line = sys.stdin.readline()
    if not line:
        app.quit()
    else:
        window.setWindowTitle(line.rstrip("\n"))


notifier = QSocketNotifier(sys.stdin.fileno(), QSocketNotifier.Type.Read)
notifier.activated.connect(read_title)
print("shown", flush=True)
sys.exit(app.exec())
