// The arithmetic of dimension editing.
#include "dimensionedit.h"

#include "numbers.h"

namespace sw {
namespace {

std::optional<std::int32_t> fitting(std::int64_t value, std::string* why) {
    if (value >= INT32_MIN && value <= INT32_MAX) return static_cast<std::int32_t>(value);
    if (why != nullptr) *why = "Number out of range";
    return std::nullopt;
}

// The size whose far edge is typed: Right in whole numbers, Bottom rounded as a whole.
std::optional<std::int32_t> sizeToEdge(Dimension which, std::int32_t start, std::string_view typed,
                                       std::string* why) {
    if (which == Dimension::Right) {
        const auto edge = parseInt32(typed, why);
        if (!edge) return std::nullopt;
        return fitting(std::int64_t{*edge} - start, why);
    }
    const auto edge = parseNumber(typed, why);
    if (!edge) return std::nullopt;
    const auto size = roundToInt32(*edge - start);
    if (!size && why != nullptr) *why = "Number out of range";
    return size;
}

}  // namespace

std::array<std::int64_t, kDimensions> dimensionValues(const Rect& r) {
    return {r.left, r.top, r.right, r.bottom, r.width(), r.height()};
}

std::optional<Placement> placementForEdit(const Rect& frame, Dimension which,
                                          std::string_view typed, std::string* why) {
    // The typed text itself must be a number in every case.
    const auto value = parseInt32(typed, why);
    if (!value) return std::nullopt;
    const auto width = fitting(frame.width(), why);
    const auto height = fitting(frame.height(), why);
    if (!width || !height) return std::nullopt;
    Placement p{frame.left, frame.top, *width, *height};
    switch (which) {
        case Dimension::Left:
            p.left = *value;
            break;
        case Dimension::Top:
            p.top = *value;
            break;
        case Dimension::Width:
            p.width = *value;
            break;
        case Dimension::Height:
            p.height = *value;
            break;
        case Dimension::Right:
        case Dimension::Bottom: {
            const bool right = which == Dimension::Right;
            const auto size = sizeToEdge(which, right ? frame.left : frame.top, typed, why);
            if (!size) return std::nullopt;
            (right ? p.width : p.height) = *size;
            break;
        }
    }
    return p;
}

}  // namespace sw
