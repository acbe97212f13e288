// The visible frame of a window and the placement that lands it exactly.
#include "frame.h"

#include <algorithm>
#include <limits>

namespace sw::win32 {
namespace {

bool inside(const Rect& inner, const Rect& outer) {
    return inner.left >= outer.left && inner.top >= outer.top && inner.right <= outer.right &&
           inner.bottom <= outer.bottom && inner.left <= inner.right && inner.top <= inner.bottom;
}

std::int32_t to32(std::int64_t value) {
    return static_cast<std::int32_t>(std::clamp<std::int64_t>(
        value, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
}

}  // namespace

Borders invisibleBorders(const Rect& windowRect, const std::optional<Rect>& visibleFrame) {
    if (!visibleFrame || !inside(*visibleFrame, windowRect)) return {};
    return Borders{visibleFrame->left - windowRect.left, visibleFrame->top - windowRect.top,
                   windowRect.right - visibleFrame->right,
                   windowRect.bottom - visibleFrame->bottom};
}

Rect seenRect(const Rect& windowRect, const std::optional<Rect>& visibleFrame) {
    if (!visibleFrame || !inside(*visibleFrame, windowRect)) return windowRect;
    return *visibleFrame;
}

Rect windowRectFor(std::int32_t left, std::int32_t top, std::int32_t width, std::int32_t height,
                   const Borders& b) {
    const std::int64_t outerLeft = std::int64_t{left} - b.left;
    const std::int64_t outerTop = std::int64_t{top} - b.top;
    const std::int64_t outerWidth = std::int64_t{std::max(width, 0)} + b.left + b.right;
    const std::int64_t outerHeight = std::int64_t{std::max(height, 0)} + b.top + b.bottom;
    return Rect{to32(outerLeft), to32(outerTop), to32(outerLeft + outerWidth),
                to32(outerTop + outerHeight)};
}

}  // namespace sw::win32
