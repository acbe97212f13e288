// The visible frame of a window and the placement that lands it exactly. Since
// Windows 10 a window's rectangle includes resize borders that are not drawn;
// what the user sees is the frame DWM reports. Plain arithmetic, kept apart from
// the system calls so that it can be checked with any bounds.
#pragma once

#include <cstdint>
#include <optional>

#include "geometry.h"

namespace sw::win32 {

// The parts of the window rectangle outside what is seen, on each side.
struct Borders {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t right = 0;
    std::int32_t bottom = 0;
    friend bool operator==(const Borders&, const Borders&) = default;
};

// Borders of windowRect around visibleFrame. No visible frame (DWM did not
// answer), or one that does not lie inside the window rectangle, gives none.
Borders invisibleBorders(const Rect& windowRect, const std::optional<Rect>& visibleFrame);

// What the user sees of the window: the visible frame when there is one inside
// the window rectangle, otherwise the window rectangle itself.
Rect seenRect(const Rect& windowRect, const std::optional<Rect>& visibleFrame);

// The window rectangle to ask for so that the seen frame gets this left, top,
// width and height. Sizes below zero become zero; edges stay within 32 bits.
Rect windowRectFor(std::int32_t left, std::int32_t top, std::int32_t width, std::int32_t height,
                   const Borders& borders);

}  // namespace sw::win32
