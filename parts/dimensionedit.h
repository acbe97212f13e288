// The arithmetic of dimension editing and of the target placement call, on the
// six value labels as text: Left, Top, Right, Bottom, Width, Height.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "geometry.h"

namespace sw {

enum DimensionIndex : int { kLeft = 0, kTop = 1, kRight = 2, kBottom = 3, kWidth = 4, kHeight = 5 };

using DimensionLabels = std::array<std::string, 6>;

// The six values of a window rectangle as the labels show them.
DimensionLabels DimensionTexts(const Rect& rect);

// The placement call's arguments from labels Left, Top, Width and Height, each
// rounded halves-to-even; refused when one is not a 32-bit number.
std::optional<Placement> PlacementFromLabels(const DimensionLabels& labels,
                                             std::string* why = nullptr);

// OK of the entry panel: the typed text goes into label `index` as typed; a Right
// edit recomputes Width (whole numbers), a Bottom edit recomputes Height (as
// typed, fractions kept; the placement call rounds). Refused, with a short
// reason, when the text is not a number or a result does not fit the placement.
std::optional<DimensionLabels> ApplyDimensionEdit(DimensionLabels labels, int index,
                                                  std::string_view typed,
                                                  std::string* why = nullptr);

}  // namespace sw
