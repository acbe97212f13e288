"""Another program's window for the KWin backend's tests: a Qt 6 window with this title, which takes
a new title from each line on its standard input, and ends when that closes. Prints its window id.
Usage: foreign_window.py TITLE"""

import sys

from PyQt6.QtCore import QSocketNotifier
from PyQt6.QtWidgets import QApplication, QWidget

title = sys.argv[1]
# Qt puts the program's name in place of an empty title; a program without a name keeps it empty.
app = QApplication(sys.argv[:1] if title else [""])
window = QWidget()
window.setWindowTitle(title)
window.resize(400, 300)
window.show()
# The window's id: under Xwayland its X11 window id, which names it to the KWin backend too.
print(int(window.winId()), flush=True)


def read_title():
    line = sys.stdin.readline()
    if not line:
        app.quit()
    else:
        window.setWindowTitle(line.rstrip("\n"))


notifier = QSocketNotifier(sys.stdin.fileno(), QSocketNotifier.Type.Read)
notifier.activated.connect(read_title)
sys.exit(app.exec())
