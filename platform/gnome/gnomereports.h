// What the GNOME Shell extension answers, in the program's terms: a window's title, frame and
// state, the monitors, the pointer's keys.
#pragma once

#include <QVariant>
#include <QVariantMap>

#include <cstdint>

#include "desktop.h"

namespace sw::gnome {

// A WINDOW a{sv} as a map, whether it came marshalled (a signal) or already read (a reply).
QVariantMap windowMap(const QVariant& value);

// One WINDOW. Mutter's frame is in logical pixels, which is what Sizewise's windows are placed in
// under Wayland too. An empty map is no window: Gone.
WindowInfo windowFromMap(const QVariantMap& window);

// GetMonitors' a(iiiidb), the primary first; never without a monitor.
ScreenMetrics screenFromMonitors(const QVariant& monitors);

// Clutter's modifier mask as the seam's keys.
KeyStates keysFromMask(std::uint32_t mask);

}  // namespace sw::gnome
