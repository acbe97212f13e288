// The layout view's arithmetic.
#include "viewscale.h"

#include "numbers.h"
#include "settings.h"

namespace sw {
namespace {

std::int32_t toLong(double value) {
    return PinToLong(RoundHalfEven(value));
}

std::int32_t intOf(double value) {
    return PinToLong(Int(value));
}

}  // namespace

ViewScale MakeViewScale(const ScreenMetrics& screen, double viewWidth, double viewHeight) {
    const double tx = TwipsPerPixelX(screen);
    const double ty = TwipsPerPixelY(screen);
    return ViewScale{screen.widthPx * tx, screen.heightPx * ty, tx, ty, viewWidth, viewHeight};
}

ViewRect ScreenToView(const Rect& r, const ViewScale& s) {
    // Divided first, then multiplied, so that halves fall where they should.
    const auto x = [&](double v) {
        return toLong(v / s.screenWidthTwips * s.viewWidth * s.twipsPerPixelX);
    };
    const auto y = [&](double v) {
        return toLong(v / s.screenHeightTwips * s.viewHeight * s.twipsPerPixelY);
    };
    return ViewRect{x(r.left), y(r.top), x(static_cast<double>(r.width())),
                    y(static_cast<double>(r.height()))};
}

Point ViewToScreen(double x, double y, const ViewScale& s) {
    return Point{intOf(x / s.viewWidth * s.screenWidthTwips / s.twipsPerPixelX),
                 intOf(y / s.viewHeight * s.screenHeightTwips / s.twipsPerPixelY)};
}

double ViewHeightFor(const ScreenMetrics& screen, double viewWidth) {
    if (screen.widthPx <= 0) return 0;
    return screen.heightPx * TwipsPerPixelY(screen) / (screen.widthPx * TwipsPerPixelX(screen)) *
           viewWidth;
}

}  // namespace sw
