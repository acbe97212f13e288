"""Another program's window for the KWin backend's tests: a Qt 6 window with this title, which takes
a new title from each line on its standard input, and ends when that closes. Prints its window id.
With --no-focus the window takes no focus (as a ruler); with --hidden it is made but shown only
when "show" is read. Usage: foreign_window.py TITLE [--no-focus] [--hidden]"""

import sys

from PyQt6.QtCore import QSocketNotifier, Qt
from PyQt6.QtWidgets import QApplication, QWidget

title = sys.argv[1]
# Qt puts the program's name in place of an empty title; a program without a name keeps it empty.
app = QApplication(sys.argv[:1] if title else [""])
window = QWidget()
window.setWindowTitle(title)
window.resize(400, 300)
if "--no-focus" in sys.argv:
    window.setWindowFlag(Qt.WindowType.WindowDoesNotAcceptFocus)
if "--hidden" not in sys.argv:
    window.show()
# The window's id: under Xwayland its X11 window id, which names it to the KWin backend too.
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
