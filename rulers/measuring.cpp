// The pointer's co-ordinates on the rulers and SHIFT+left-click measuring.
#include "measuring.h"

#include <cstdlib>

#include "numbers.h"

namespace sw {

Point pointerCoordinates(Point pointer, ScaleMode mode, const RulerOrigin& origin) {
    if (mode == ScaleMode::Absolute) return pointer;
    const auto rel = [](std::int32_t v, double o) {
        return static_cast<std::int32_t>(roundHalfEven(v - o));
    };
    return Point{rel(pointer.x, origin.x), rel(pointer.y, origin.y)};
}

std::string positionCaption(Point pos) {
    return formatInteger(pos.x) + "," + formatInteger(pos.y);
}

bool PointerTracker::detectMeasureClick(const PointerSnapshot& snap) {
    const bool newPress = snap.keys.left && !leftWasDown_;
    leftWasDown_ = snap.keys.left;
    if (!newPress) return false;
    if (measuring_ || snap.keys.shift || armed_) return true;
    // A plain click with no measurement under way clears a finished one.
    lines_.visible = false;
    return false;
}

void PointerTracker::measure(Point pos, bool click) {
    if (click && !measuring_) {
        measuring_ = true;
        armed_ = false;
        lines_ = MeasureLines{true, pos, pos};
        return;
    }
    if (!measuring_) return;
    // The end click fixes the lines and the size where it was made.
    measuring_ = !click;
    lines_.end = pos;
    width_ = std::llabs(std::int64_t{lines_.end.x} - lines_.start.x);
    height_ = std::llabs(std::int64_t{lines_.end.y} - lines_.start.y);
}

std::string measureCaption(std::int64_t width, std::int64_t height, double ratio) {
    std::string caption = formatInteger(width) + " X " + formatInteger(height);
    if (ratio <= 0 || ratio == 1.0) return caption;
    const auto scaled = [&](std::int64_t v) {
        return formatInteger(static_cast<std::int64_t>(roundHalfEven(v / ratio)));
    };
    return caption + " (" + scaled(width) + " X " + scaled(height) + " @" + formatNumber(ratio) +
           "x)";
}

PointerReadout PointerTracker::track(const PointerSnapshot& snap, ScaleMode mode,
                                     const RulerOrigin& origin) {
    const Point pos = pointerCoordinates(snap.position, mode, origin);
    measure(pos, detectMeasureClick(snap));
    // The right button, clicked or held, cancels a measurement and clears a finished one.
    if (snap.keys.right) {
        measuring_ = false;
        armed_ = false;
        lines_.visible = false;
    }
    if (!lines_.visible) width_ = height_ = 0;
    const std::string measured = measureCaption(width_, height_, 1.0);
    return PointerReadout{pos,    positionCaption(pos), lines_, measured, lines_.visible, width_,
                          height_};
}

}  // namespace sw
