// Plain value types of the whole program: window ids, and points and rectangles
// in screen pixels.
#pragma once

#include <cstdint>
#include <optional>

namespace sw {

// A top-level window of any application. 0 means "no window". X11 window ids and
// Win32 window handles both fit in 32 bits.
using WindowId = std::uint32_t;

struct Point {
    std::int32_t x = 0;
    std::int32_t y = 0;
    friend bool operator==(const Point&, const Point&) = default;
};

// A window's outer rectangle in screen pixels. Width and height are computed in
// 64 bits so that no pair of 32-bit edges can overflow.
struct Rect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;

    std::int64_t width() const { return std::int64_t{right} - left; }
    std::int64_t height() const { return std::int64_t{bottom} - top; }
    friend bool operator==(const Rect&, const Rect&) = default;
};

// Where a window is asked to go: its outer top-left corner and size. Kept apart
// from Rect because any 32-bit size may be asked for, also one whose far edge
// lies beyond 32 bits.
struct Placement {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    friend bool operator==(const Placement&, const Placement&) = default;
};

// The frame a placement gives, when 32 bits hold its far edges.
inline std::optional<Rect> frameOf(const Placement& p) {
    const std::int64_t right = std::int64_t{p.left} + p.width;
    const std::int64_t bottom = std::int64_t{p.top} + p.height;
    if (right > INT32_MAX || bottom > INT32_MAX) return std::nullopt;
    return Rect{p.left, p.top, static_cast<std::int32_t>(right), static_cast<std::int32_t>(bottom)};
}

}  // namespace sw
