// The arithmetic of the six values shown on the main window (Left, Top, Right, Bottom, Width,
// Height) and of a value typed over one of them.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "geometry.h"

namespace sw {

enum class Dimension { Left, Top, Right, Bottom, Width, Height };
inline constexpr int kDimensions = 6;

inline constexpr std::array<const char*, kDimensions> kDimensionCaptions{
    "Left", "Top", "Right", "Bottom", "Width", "Height"};

// The six values of a frame, in the order above.
std::array<std::int64_t, kDimensions> dimensionValues(const Rect& frame);

// Where a value typed over one of the frame's dimensions puts the window. Left and Top move it
// and keep its size; Width and Height keep the top-left corner; Right moves the right edge and
// keeps the left one (in whole numbers: 100.5 is 100); Bottom moves the bottom edge and keeps the
// top one, the height rounded as a whole (halves to even). Refused, with a short reason, when
// the text is not a number or a result does not fit in 32 bits.
std::optional<Placement> placementForEdit(const Rect& frame, Dimension which,
                                          std::string_view typed, std::string* why = nullptr);

}  // namespace sw
