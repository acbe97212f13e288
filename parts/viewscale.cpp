// The layout view's arithmetic.
#include "viewscale.h"

#include <cmath>

#include "numbers.h"
#include "settings.h"

namespace sw {
namespace {

std::int32_t rounded(double value) {
    return pinToInt32(roundHalfEven(value));
}

std::int32_t floored(double value) {
    return pinToInt32(std::floor(value));
}

}  // namespace

ViewScale makeViewScale(const ScreenMetrics& screen, double viewWidth, double viewHeight) {
    const double tx = twipsPerPixelX(screen);
    const double ty = twipsPerPixelY(screen);
    const Rect& b = screen.bounds;
    return ViewScale{Point{b.left, b.top},
                     static_cast<double>(b.width()) * tx,
                     static_cast<double>(b.height()) * ty,
                     tx,
                     ty,
                     viewWidth,
                     viewHeight};
}

ViewRect screenToView(const Rect& r, const ViewScale& s) {
    // Divided first, then multiplied, so that halves fall where they should.
    const auto x = [&](double v) {
        return rounded(v / s.screenWidthTwips * s.viewWidth * s.twipsPerPixelX);
    };
    const auto y = [&](double v) {
        return rounded(v / s.screenHeightTwips * s.viewHeight * s.twipsPerPixelY);
    };
    return ViewRect{x(static_cast<double>(r.left) - s.origin.x),
                    y(static_cast<double>(r.top) - s.origin.y), x(static_cast<double>(r.width())),
                    y(static_cast<double>(r.height()))};
}

Point viewToScreen(double x, double y, const ViewScale& s) {
    return Point{floored(s.origin.x + x / s.viewWidth * s.screenWidthTwips / s.twipsPerPixelX),
                 floored(s.origin.y + y / s.viewHeight * s.screenHeightTwips / s.twipsPerPixelY)};
}

double viewHeightFor(const ScreenMetrics& screen, double viewWidth) {
    const Rect& b = screen.bounds;
    if (b.width() <= 0) return 0;
    return static_cast<double>(b.height()) * twipsPerPixelY(screen) /
           (static_cast<double>(b.width()) * twipsPerPixelX(screen)) * viewWidth;
}

}  // namespace sw
