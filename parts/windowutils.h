// Small stateless operations on the program's own windows: the topmost switch,
// centring on a monitor, and screen pixels in Qt's co-ordinates and back.
#pragma once

#include <QPoint>

#include "desktop.h"

class QWidget;

namespace sw {

// Keeps window above normal windows (or not) without moving or activating it.
// Does nothing for a null window or one not yet on the display.
void setTopmost(WindowSystem& windows, QWidget* window, bool onTop);

// Centres window along the axes asked for on the monitor that holds most of its
// owner, or on the primary monitor while the owner is not shown.
void centreWindow(const ScreenMetrics& screen, QWidget* window, bool horizontal, bool vertical);

// A screen pixel in Qt's co-ordinates, which at a device pixel ratio other than
// 1 are not pixels, on the screen the pixel lies on (or the nearest); and back.
// Every screen position handed to Qt or taken from it goes through these.
QPoint toQt(Point pixel);
Point fromQt(QPoint position);
Point fromQt(QPointF position);
// The device pixel ratio of the screen a pixel lies on (or the nearest).
double ratioAt(Point pixel);

}  // namespace sw
