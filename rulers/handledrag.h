// Stretching a free ruler by its end handles: the start handle moves the start
// edge, the far handle the far end, and neither makes the ruler shorter than
// 301 pixels. At the minimum the drag rests until the pointer comes back past
// the spot where it stopped, in the lengthening direction.
#pragma once

#include <cstdint>
#include <optional>

#include "axis.h"

namespace sw {

// Mouse buttons as the handle events carry them; only the left button alone drags.
inline constexpr int kLeftButton = 1;

enum HandleIndex : int { kStartHandle = 0, kFarHandle = 1 };

// A handle move's effect, in pixels: how far the start edge moves along the
// axis (the start handle only) and the ruler's new length.
struct HandleResize {
    double edgeShift = 0;
    double length = 0;
};

// One per ruler, shared by both of its handles. Positions are in the pressed
// handle's own pixels; the handle travels with its end, so while the ruler
// follows, the pointer stays near the spot where it was pressed.
class HandleDrag {
public:
    explicit HandleDrag(Axis axis) : axis_(axis) {}

    void press(int button, double x, double y);
    void release() { resizing_ = false; }
    // None when the move is ignored; `length` is the ruler's current length.
    std::optional<HandleResize> move(int index, int button, double x, double y, double length);

private:
    std::optional<HandleResize> moveStart(float pos, float delta, double length);
    std::optional<HandleResize> moveFar(float pos, float delta, double length);

    Axis axis_;
    std::int32_t startX_ = 0;
    std::int32_t startY_ = 0;
    bool resizing_ = false;
    float lastPos_ = 0;
    float stopPos_ = 0;  // where the minimum last stopped a drag
};

}  // namespace sw
