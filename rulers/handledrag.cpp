// Stretching a free ruler by its end handles.
#include "handledrag.h"

#include "numbers.h"

namespace sw {
namespace {

// The length test is made in single precision, as the lengths are held.
bool belowMinimum(double length) {
    return static_cast<float>(length) < kMinimumRulerLength;
}

}  // namespace

void HandleDrag::press(int button, double x, double y) {
    if (button != kLeftButton) return;
    startX_ = static_cast<std::int32_t>(roundHalfEven(x));
    startY_ = static_cast<std::int32_t>(roundHalfEven(y));
    resizing_ = true;
}

std::optional<HandleResize> HandleDrag::move(int index, int button, double x, double y,
                                             double length) {
    const float pos = static_cast<float>(axis_ == Axis::Horizontal ? x : y);
    // A repeat of the last position is dropped before the button is looked at.
    if (pos == lastPos_) return std::nullopt;
    lastPos_ = pos;
    if (button != kLeftButton) return std::nullopt;
    const float delta = pos - static_cast<float>(axis_ == Axis::Horizontal ? startX_ : startY_);
    if (index == kStartHandle) return moveStart(pos, delta, length);
    if (index == kFarHandle) return moveFar(pos, delta, length);
    return std::nullopt;
}

std::optional<HandleResize> HandleDrag::moveStart(float pos, float delta, double length) {
    if (pos < stopPos_) resizing_ = true;
    if (!resizing_) return std::nullopt;
    double d = delta;
    if (belowMinimum(length - d)) {
        d = length - kMinimumRulerLength;
        resizing_ = false;
        stopPos_ = pos;
    }
    return HandleResize{d, length - d};
}

std::optional<HandleResize> HandleDrag::moveFar(float pos, float delta, double length) {
    if (pos > stopPos_) resizing_ = true;
    if (!resizing_) return std::nullopt;
    double d = delta;
    if (belowMinimum(length + d)) {
        d = kMinimumRulerLength - length;
        resizing_ = false;
        stopPos_ = pos;
    }
    return HandleResize{0, length + d};
}

}  // namespace sw
