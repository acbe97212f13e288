// Where things stand among several monitors: the monitor a point or a window
// belongs to, and the place that brings a window whose title strip is out of
// sight back onto a monitor. Monitors are rectangles in desktop pixels.
#pragma once

#include <cstdint>
#include <vector>

#include "geometry.h"

namespace sw {

// The point of a window, 20 pixels right of and 10 below its top-left corner,
// that must lie on a monitor for its title strip to be in sight and in reach.
inline constexpr std::int32_t kTitleStripX = 20;
inline constexpr std::int32_t kTitleStripY = 10;

// The monitor holding the point; on none, the nearest one. An empty list
// gives an empty rectangle.
Rect monitorAt(const std::vector<Rect>& monitors, Point point);

// The monitor holding the largest part of the rectangle; when it lies on none,
// the monitor nearest its centre.
Rect monitorHoldingMost(const std::vector<Rect>& monitors, const Rect& rect);

// Where a window of this size and top-left corner goes so that the whole of it
// is on a monitor: where it is when it is already, else onto the monitor under
// its title strip (or the nearest), moved no further than it takes (and to the
// monitor's top-left corner when the window is larger than the monitor).
// A place of (0, 0), the first start's, that is out of sight goes to the primary
// monitor's top-left corner instead.
Point ontoMonitor(const std::vector<Rect>& monitors, Point topLeft, std::int32_t width,
                  std::int32_t height);

// A screen as the toolkit scales it: its rectangle in pixels and its device
// pixel ratio. The toolkit keeps each screen's top-left corner in pixels and
// counts device-independent pixels from there.
struct ScaledScreen {
    Rect pixels;
    double ratio = 1.0;
};

// A pixel in the toolkit's co-ordinates, on the screen that holds it (or the
// nearest): origin + (pixel - origin) / ratio, rounded.
Point pixelToScaled(const std::vector<ScaledScreen>& screens, Point pixel);
// And back, on the screen whose scaled rectangle holds the point (or the nearest).
Point scaledToPixel(const std::vector<ScaledScreen>& screens, Point scaled);
// The ratio of the screen that holds the pixel, or of the nearest (1 with none).
double ratioAt(const std::vector<ScaledScreen>& screens, Point pixel);
// The same for a position between the toolkit's whole units (a pointer at ratio 2).
Point scaledToPixel(const std::vector<ScaledScreen>& screens, double x, double y);

}  // namespace sw
