// The arithmetic of dimension editing and of the target placement call.
#include "dimensionedit.h"

#include "numbers.h"

namespace sw {

DimensionLabels DimensionTexts(const Rect& r) {
    return {FormatLong(r.left),   FormatLong(r.top),     FormatLong(r.right),
            FormatLong(r.bottom), FormatLong(r.width()), FormatLong(r.height())};
}

std::optional<Placement> PlacementFromLabels(const DimensionLabels& labels, std::string* why) {
    const auto left = ToLong(labels[kLeft], why);
    if (!left) return std::nullopt;
    const auto top = ToLong(labels[kTop], why);
    if (!top) return std::nullopt;
    const auto width = ToLong(labels[kWidth], why);
    if (!width) return std::nullopt;
    const auto height = ToLong(labels[kHeight], why);
    if (!height) return std::nullopt;
    return Placement{*left, *top, *width, *height};
}

std::optional<DimensionLabels> ApplyDimensionEdit(DimensionLabels labels, int index,
                                                  std::string_view typed, std::string* why) {
    if (index < kLeft || index > kHeight) return std::nullopt;
    // The typed text itself must be a number in every case, even for Right and
    // Bottom, whose labels the placement call does not read.
    if (!ToLong(typed, why)) return std::nullopt;
    labels[index] = std::string(typed);
    if (index == kRight) {
        // Whole numbers, in 64 bits so that no pair of 32-bit edges overflows.
        const auto right = ToLong(typed, why);
        const auto left = ToLong(labels[kLeft], why);
        if (!right || !left) return std::nullopt;
        labels[kWidth] = FormatLong(std::int64_t{*right} - *left);
    } else if (index == kBottom) {
        const auto bottom = ParseNumber(typed, why);
        const auto top = ParseNumber(labels[kTop], why);
        if (!bottom || !top) return std::nullopt;
        labels[kHeight] = FormatNumber(*bottom - *top);
    }
    if (!PlacementFromLabels(labels, why)) return std::nullopt;
    return labels;
}

}  // namespace sw
