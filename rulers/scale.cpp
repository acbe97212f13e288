// A ruler's scale as plain marks.
#include "scale.h"

#include <cmath>

#include "numbers.h"

namespace sw {
namespace {

double numberExtent(Axis axis, const std::string& caption, double templateExtent) {
    if (axis == Axis::Vertical) return templateExtent;
    return templateExtent * static_cast<double>(caption.size()) / 4.0;
}

}  // namespace

ScaleMarks layOutScale(Axis axis, double stripLength, double templateExtent) {
    ScaleMarks marks;
    marks.ticks.push_back(0);
    marks.halfTicks.push_back(kHalfTickOffset);
    // Tested before stepping, so the last tick is the first multiple of ten
    // that is not below the strip's length (1024 -> 1030, 1280 -> 1280).
    std::int32_t last = 0;
    while (last < stripLength) {
        last += kTickSpacing;
        marks.ticks.push_back(last);
        marks.halfTicks.push_back(last + kHalfTickOffset);
    }
    // One step between numbers along the whole strip: the widest number (the last) and a gap of
    // half a character fit in it. Across the horizontal strip a character is a quarter of the
    // template "8888"; numbers stand one above another on the vertical one, a whole height each.
    const double widest = numberExtent(axis, formatInteger(last), templateExtent);
    const double gap = axis == Axis::Horizontal ? templateExtent / 8 : templateExtent / 2;
    const auto step =
        static_cast<std::int32_t>(kTickSpacing * std::ceil((widest + gap) / kTickSpacing - 1e-9));
    for (std::int32_t x = step; step > 0 && x <= last; x += step) {
        std::string caption = formatInteger(x);
        const double extent = numberExtent(axis, caption, templateExtent);
        marks.numbers.push_back({x, x - extent / 2, extent, std::move(caption)});
    }
    return marks;
}

double scaleOffset(ScaleMode mode, double edgeTwips, double twipsPerPixel) {
    if (mode == ScaleMode::Relative) return 0;
    return -(edgeTwips / twipsPerPixel);
}

}  // namespace sw
