// Numbers held as decimal text: parsing, rounding, formatting.
#include "numbers.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <limits>

namespace sw {

double roundHalfEven(double value) {
    const double floor = std::floor(value);
    const double diff = value - floor;
    if (diff < 0.5) return floor;
    if (diff > 0.5) return floor + 1.0;
    return std::fmod(floor, 2.0) == 0.0 ? floor : floor + 1.0;
}

namespace {

bool isSpace(char c) {
    return c == ' ' || c == '\t';
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

void setWhy(std::string* why, const char* text) {
    if (why != nullptr) *why = text;
}

// [sign] digits [. digits] [e [sign] digits], at least one digit in the mantissa.
bool wellFormed(std::string_view s) {
    std::size_t i = 0;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    std::size_t digits = 0;
    while (i < s.size() && isDigit(s[i])) ++i, ++digits;
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (i < s.size() && isDigit(s[i])) ++i, ++digits;
    }
    if (digits == 0) return false;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        ++i;
        if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
        std::size_t expDigits = 0;
        while (i < s.size() && isDigit(s[i])) ++i, ++expDigits;
        if (expDigits == 0) return false;
    }
    return i == s.size();
}

}  // namespace

std::optional<double> parseNumber(std::string_view text, std::string* why) {
    while (!text.empty() && isSpace(text.front())) text.remove_prefix(1);
    while (!text.empty() && isSpace(text.back())) text.remove_suffix(1);
    if (text.empty()) {
        setWhy(why, "Type a number");
        return std::nullopt;
    }
    if (!wellFormed(text)) {
        setWhy(why, "Not a number");
        return std::nullopt;
    }
    // from_chars takes no leading '+'.
    if (text.front() == '+') text.remove_prefix(1);
    double value = 0.0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (ec == std::errc::result_out_of_range) {
        // Underflow (a negative exponent) is a tiny number, not an error;
        // overflow is out of any range.
        const auto e = text.find_first_of("eE");
        if (e != std::string_view::npos && e + 1 < text.size() && text[e + 1] == '-') return 0.0;
        setWhy(why, "Number out of range");
        return std::nullopt;
    }
    if (ec != std::errc() || end != text.data() + text.size() || !std::isfinite(value)) {
        setWhy(why, "Not a number");
        return std::nullopt;
    }
    return value;
}

std::optional<std::int32_t> roundToInt32(double value) {
    if (!std::isfinite(value)) return std::nullopt;
    const double r = roundHalfEven(value);
    if (r < static_cast<double>(std::numeric_limits<std::int32_t>::min()) ||
        r > static_cast<double>(std::numeric_limits<std::int32_t>::max())) {
        return std::nullopt;
    }
    return static_cast<std::int32_t>(r);
}

std::optional<std::int32_t> parseInt32(std::string_view text, std::string* why) {
    const std::optional<double> value = parseNumber(text, why);
    if (!value) return std::nullopt;
    const std::optional<std::int32_t> whole = roundToInt32(*value);
    if (!whole) setWhy(why, "Number out of range");
    return whole;
}

std::int32_t pinToInt32(double wholeValue) {
    if (std::isnan(wholeValue)) return 0;
    return static_cast<std::int32_t>(
        std::clamp(wholeValue, static_cast<double>(std::numeric_limits<std::int32_t>::min()),
                   static_cast<double>(std::numeric_limits<std::int32_t>::max())));
}

std::string formatInteger(std::int64_t value) {
    return std::to_string(value);
}

std::string formatNumber(double value) {
    if (value == 0.0) return "0";  // never "-0"
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.15g", value);
    return buffer;
}

int designPixels(double twips) {
    return static_cast<int>(roundHalfEven(twips / kDesignTwipsPerPixel));
}

}  // namespace sw
