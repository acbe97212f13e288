// The title marquee's motion, the ellipsis rule and the web button's ellipse.
#include "marquee.h"

#include <cmath>
#include <utility>

#include "numbers.h"

namespace sw {

std::string marqueeFirstText(const std::string& title, const std::string& maker) {
    return " " + title + " - FreeWare from " + maker;
}

std::array<std::string, 3> marqueeMessages(const std::string& title, const std::string& maker) {
    return {title, "FreeWare From", maker};
}

Marquee::Marquee(int viewportHeight, int labelHeight, std::string firstText,
                 std::array<std::string, 3> messages)
    : viewportHeight_(viewportHeight),
      labelHeight_(labelHeight),
      messages_(std::move(messages)),
      caption_(std::move(firstText)) {}

bool Marquee::step() {
    if (resting_) return false;
    top_ -= kStepTwips;
    if (top_ < -labelHeight_) {
        // Gone from the viewport: the next message comes in from below.
        top_ = viewportHeight_;
        caption_ = messages_[static_cast<std::size_t>(messageIndex_)];
        messageIndex_ = static_cast<std::int16_t>((messageIndex_ + 1) % 3);
    }
    // Only a viewport height that is a multiple of the step ever lands on 0.
    if (top_ == 0) resting_ = true;
    return resting_;
}

bool ellipsisVisible(double titleRight, double ellipsisLeft) {
    return titleRight > ellipsisLeft;
}

EllipseBox roundButtonEllipse(double widthTwips, double heightTwips, double twipsPerPixelX,
                              double twipsPerPixelY) {
    constexpr double inset = 80;
    const auto px = [](double v) { return static_cast<std::int32_t>(roundHalfEven(v)); };
    return EllipseBox{px(inset / twipsPerPixelX), px(inset / twipsPerPixelY),
                      px((widthTwips - inset) / twipsPerPixelX),
                      px((heightTwips - inset) / twipsPerPixelY)};
}

std::vector<PixelRow> ellipseRows(const EllipseBox& box) {
    std::vector<PixelRow> rows;
    const double cx = (box.left + box.right) / 2.0;
    const double cy = (box.top + box.bottom) / 2.0;
    const double rx = (box.right - box.left) / 2.0;
    const double ry = (box.bottom - box.top) / 2.0;
    if (rx <= 0 || ry <= 0) return rows;
    for (std::int32_t y = box.top; y < box.bottom; ++y) {
        const double dy = (y + 0.5 - cy) / ry;
        if (dy * dy > 1) continue;
        const double half = rx * std::sqrt(1 - dy * dy);
        // Pixels whose centres x + 0.5 lie within cx +- half.
        const auto left = static_cast<std::int32_t>(std::ceil(cx - half - 0.5));
        const auto right = static_cast<std::int32_t>(std::floor(cx + half - 0.5)) + 1;
        if (right > left) rows.push_back(PixelRow{y, left, right});
    }
    return rows;
}

}  // namespace sw
