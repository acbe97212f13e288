// Small stateless operations on the program's own windows: the topmost switch
// and centring on the screen.
#pragma once

#include "desktop.h"

class QWidget;

namespace sw {

// Keeps form above normal windows (or not) without moving or activating it.
// Does nothing for a null form or one not yet on the display.
void SetTopmost(WindowSystem& windows, QWidget* form, bool onTop);

// Centres form on the screen along the axes asked for.
void CentreForm(const ScreenMetrics& screen, QWidget* form, bool horizontal, bool vertical);

}  // namespace sw
