// Numbers as people type them and as the program shows them: parsing with a clear refusal,
// rounding halves to the even neighbour, formatting, and twips and pixels.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace sw {

// Round to the nearest whole number, halves to the even neighbour (2.5 -> 2, 3.5 -> 4).
double roundHalfEven(double value);

// A decimal number as people type it: optional spaces around it, an optional sign,
// digits with an optional fraction and exponent. Anything else is refused with a
// short reason for the user.
std::optional<double> parseNumber(std::string_view text, std::string* why = nullptr);

// parseNumber rounded halves-to-even to a signed 32-bit integer; values outside
// that range are refused.
std::optional<std::int32_t> parseInt32(std::string_view text, std::string* why = nullptr);

// A double rounded halves-to-even, if it fits in a signed 32-bit integer.
std::optional<std::int32_t> roundToInt32(double value);

// A whole number pinned into the signed 32-bit range; NaN gives 0. For places
// that may go far off the screen, where refusing is not an option.
std::int32_t pinToInt32(double wholeValue);

// Plain decimal text of a whole number: "-" for negatives, no padding or grouping.
std::string formatInteger(std::int64_t value);

// A double with up to 15 significant digits; a whole number has no decimal point.
std::string formatNumber(double value);

// Twips are 1/1440 inch; the program's own windows are laid out in them.
inline constexpr double kDesignTwipsPerPixel = 15.0;

// A design length in twips as whole pixels of the program's own widgets.
int designPixels(double twips);

}  // namespace sw
