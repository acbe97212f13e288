// The pointer's co-ordinates on the rulers and SHIFT+left-click measuring.
#include "measuring.h"

#include <cstdlib>

#include "numbers.h"

namespace sw {

Point PointerCoordinates(Point pointer, std::int32_t rulerMode, const RulerOrigin& origin) {
    if (rulerMode != 0) return pointer;
    const auto rel = [](std::int32_t v, double o) {
        return static_cast<std::int32_t>(RoundHalfEven(v - o));
    };
    return Point{rel(pointer.x, origin.x), rel(pointer.y, origin.y)};
}

std::string PositionCaption(Point pos) {
    return FormatLong(pos.x) + "," + FormatLong(pos.y);
}

bool PointerTracker::detectMeasureClick(const PointerSnapshot& snap) {
    const bool newPress = snap.keys.left && !sLeftWasDown;
    sLeftWasDown = snap.keys.left;
    if (!newPress) return false;
    if (sMeasuring || snap.keys.shift) return true;
    // A plain click with no measurement under way clears a finished one.
    lnMeasure.visible = false;
    return false;
}

void PointerTracker::measure(Point pos) {
    if (sMeasureClick && sMeasuring) {
        // The end click fixes the lines but leaves the read-out at the size of
        // the previous tick.
        sMeasuring = false;
        lnMeasure.end = pos;
    } else if (sMeasureClick) {
        sMeasuring = true;
        lnMeasure = MeasureLines{true, pos, pos};
    } else if (sMeasuring) {
        lnMeasure.end = pos;
        const std::int64_t w = std::llabs(std::int64_t{lnMeasure.end.x} - lnMeasure.start.x);
        const std::int64_t h = std::llabs(std::int64_t{lnMeasure.end.y} - lnMeasure.start.y);
        lblMeasure = MeasureCaption(w, h, 1.0);
        mWidth = w;
        mHeight = h;
    }
}

std::string MeasureCaption(std::int64_t width, std::int64_t height, double ratio) {
    std::string caption = FormatLong(width) + " X " + FormatLong(height);
    if (ratio <= 0 || ratio == 1.0) return caption;
    const auto scaled = [&](std::int64_t v) {
        return FormatLong(static_cast<std::int64_t>(RoundHalfEven(v / ratio)));
    };
    return caption + " (" + scaled(width) + " X " + scaled(height) + " @" + FormatNumber(ratio) +
           "x)";
}

PointerReadout PointerTracker::Tick(const PointerSnapshot& snap, std::int32_t rulerMode,
                                    const RulerOrigin& origin) {
    const Point pos = PointerCoordinates(snap.position, rulerMode, origin);
    sMeasureClick = detectMeasureClick(snap);
    measure(pos);
    // The right button, clicked or held, cancels a measurement and clears a finished one.
    if (snap.keys.right) {
        sMeasuring = false;
        lnMeasure.visible = false;
    }
    if (!lnMeasure.visible) lblMeasure = kNoMeasure;
    return PointerReadout{
        pos, PositionCaption(pos), lnMeasure, lblMeasure, lnMeasure.visible, mWidth, mHeight};
}

}  // namespace sw
