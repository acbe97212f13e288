// The window system's handle of one of the program's own windows.
#pragma once

#include <QWidget>

#include "geometry.h"

namespace sw {

// 0 for a window that has not been created. Does not create one.
inline WindowId nativeHandle(const QWidget* widget) {
    if (widget == nullptr || !widget->testAttribute(Qt::WA_WState_Created)) return 0;
    return static_cast<WindowId>(widget->winId());
}

}  // namespace sw
