// The rulers' small pictures, drawn rather than shipped: the three lock
// buttons, the close button and the end handles' grip.
#pragma once

#include <QIcon>

class QPainter;
class QRect;

namespace sw::rulerglyphs {

// A screen with a bar across its top: lock to the screen.
QIcon lockScreen();
// A window with a title bar: lock to the active window.
QIcon lockWindow();
// An open padlock: no lock.
QIcon lockFree();
// A cross: hide the rulers.
QIcon close();
// An end handle: a raised grip with a double arrow along the ruler.
void paintHandle(QPainter& p, const QRect& r, bool horizontal);

}  // namespace sw::rulerglyphs
