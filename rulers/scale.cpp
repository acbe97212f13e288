// A ruler's scale as plain marks.
#include "scale.h"

#include "numbers.h"

namespace sw {
namespace {

// The template number "8888" is parked this far before the strip; it stands as
// the "last number shown" before the first one, so the first tick always gets one.
constexpr double kParkedTemplate = -32000;

double numberExtent(Axis axis, const std::string& caption, double templateExtent) {
    if (axis == Axis::Vertical) return templateExtent;
    return templateExtent * static_cast<double>(caption.size()) / 4.0;
}

}  // namespace

ScaleMarks layOutScale(Axis axis, double stripLength, double templateExtent) {
    ScaleMarks marks;
    marks.ticks.push_back(0);
    marks.halfTicks.push_back(kHalfTickOffset);
    // The end of the last number shown; a number goes on a tick only when it
    // would start strictly after that end.
    double lastEnd = kParkedTemplate + templateExtent;
    // Tested before stepping, so the last tick is the first multiple of ten
    // that is not below the strip's length (1024 -> 1030, 1280 -> 1280).
    for (std::int32_t x = 0; x < stripLength;) {
        x += kTickSpacing;
        marks.ticks.push_back(x);
        marks.halfTicks.push_back(x + kHalfTickOffset);
        const double start = x - templateExtent / 2;
        if (lastEnd < start) {
            std::string caption = formatInteger(x);
            const double extent = numberExtent(axis, caption, templateExtent);
            marks.numbers.push_back({x, start, extent, std::move(caption)});
            lastEnd = start + extent;
        }
    }
    return marks;
}

double scaleOffset(ScaleMode mode, double edgeTwips, double twipsPerPixel) {
    if (mode == ScaleMode::Relative) return 0;
    return -(edgeTwips / twipsPerPixel);
}

}  // namespace sw
