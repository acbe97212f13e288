// The one difference between the twin rulers: which screen axis they lie along.
// Everything a ruler measures is read through these, so the horizontal and the
// vertical ruler share one piece of logic.
#pragma once

#include <cstdint>

#include "desktop.h"
#include "settings.h"

namespace sw {

enum class Axis { Horizontal, Vertical };

inline Axis otherAxis(Axis axis) {
    return axis == Axis::Horizontal ? Axis::Vertical : Axis::Horizontal;
}

// The co-ordinate along the ruler (x for the horizontal one) and across it.
inline std::int32_t coordinateAlong(Axis axis, Point p) {
    return axis == Axis::Horizontal ? p.x : p.y;
}
inline std::int32_t coordinateAcross(Axis axis, Point p) {
    return axis == Axis::Horizontal ? p.y : p.x;
}

// A window's start edge and length along the ruler: Left and width for the
// horizontal ruler, Top and height for the vertical one.
inline std::int32_t startEdge(Axis axis, const Rect& r) {
    return axis == Axis::Horizontal ? r.left : r.top;
}
inline std::int64_t extent(Axis axis, const Rect& r) {
    return axis == Axis::Horizontal ? r.width() : r.height();
}

inline std::int32_t screenLength(Axis axis, const ScreenMetrics& s) {
    return static_cast<std::int32_t>(axis == Axis::Horizontal ? s.bounds.width()
                                                              : s.bounds.height());
}
inline double twipsPerPixel(Axis axis, const ScreenMetrics& s) {
    return axis == Axis::Horizontal ? twipsPerPixelX(s) : twipsPerPixelY(s);
}

// The scale area's fixed size across the axis, in pixels: the horizontal
// ruler is 41 high, the vertical one 57 wide.
inline constexpr std::int32_t kHorizontalRulerThickness = 41;
inline constexpr std::int32_t kVerticalRulerThickness = 57;
inline std::int32_t thickness(Axis axis) {
    return axis == Axis::Horizontal ? kHorizontalRulerThickness : kVerticalRulerThickness;
}

// A ruler is never stretched shorter than this by its handles, and its
// stored length is brought up to it.
inline constexpr std::int32_t kMinimumRulerLength = 301;
// A ruler's length before anything was stored: the design length of its area.
inline constexpr std::int32_t kDefaultRulerLength = 433;

}  // namespace sw
