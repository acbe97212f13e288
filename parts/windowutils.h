// Small stateless operations on the program's own windows: the topmost switch,
// centring on a monitor, and screen pixels in Qt's co-ordinates and back.
#pragma once

#include <QPoint>

#include "desktop.h"

class QWidget;

namespace sw {

// Keeps form above normal windows (or not) without moving or activating it.
// Does nothing for a null form or one not yet on the display.
void SetTopmost(WindowSystem& windows, QWidget* form, bool onTop);

// Centres form along the axes asked for on the monitor that holds most of its
// owner, or on the primary monitor while the owner is not shown.
void CentreForm(const ScreenMetrics& screen, QWidget* form, bool horizontal, bool vertical);

// A screen pixel in Qt's co-ordinates, which at a device pixel ratio other than
// 1 are not pixels, on the screen the pixel lies on (or the nearest); and back.
// Every screen position handed to Qt or taken from it goes through these.
QPoint ToQt(Point pixel);
Point FromQt(QPoint position);
Point FromQt(QPointF position);
// The device pixel ratio of the screen a pixel lies on (or the nearest).
double RatioAt(Point pixel);

}  // namespace sw
