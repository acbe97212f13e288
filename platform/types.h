// Plain value types shared by the platform seam and the program: window handles,
// rectangles, points and the show states and commands of the window system.
#pragma once

#include <cstdint>

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

// Left and Top that the window system reports for a minimised window.
inline constexpr std::int32_t kMinimisedPosition = -32000;

// A window's show state as its placement reports it: 0 when the query failed.
enum ShowState : int {
    kShowStateFailed = 0,
    kShowStateNormal = 1,
    kShowStateMinimised = 2,
    kShowStateMaximised = 3,
};

// Show commands, numbered as the Win32 SW_ values they stand for.
enum class ShowCommand : int {
    ShowNormal = 1,
    ShowMaximised = 3,
    Minimise = 6,
};

}  // namespace sw
