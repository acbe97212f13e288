// What the KWin script's reports say, in the program's terms: a window's title, frame and state,
// the screens, the pointer.
#pragma once

#include <QJsonObject>

#include "desktop.h"

namespace sw::kwin {

// One WINDOW of a Changed report. KWin's frame is in logical pixels, which is what Sizewise's
// windows are placed in under Wayland too.
WindowInfo windowFromReport(const QJsonObject& window);

// A Screens report; the script's first screen is taken as the primary one (KWin 5.27 scripts
// cannot tell which is).
ScreenMetrics screensFromReport(const QJsonObject& screens);

Point pointFromReport(const QJsonObject& position);

}  // namespace sw::kwin
