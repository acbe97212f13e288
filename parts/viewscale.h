// The layout view's arithmetic: where the target's rectangle goes in the scaled
// picture of the screen, where a dragged picture puts the target, and how tall
// the view and the main window are.
#pragma once

#include <cstdint>

#include "desktop.h"

namespace sw {

// The layout view's picture box on the main window, in twips; its height is
// taken from the screen's proportions at load.
inline constexpr int kScreenViewLeft = 2040;
inline constexpr int kScreenViewTop = 1320;
inline constexpr int kScreenViewWidth = 1575;

// The screen and the view's inner size: the screen's top-left corner in pixels, its size in twips
// and twips per pixel, the view in its own units.
struct ViewScale {
    Point origin;
    double screenWidthTwips = 0;
    double screenHeightTwips = 0;
    double twipsPerPixelX = 15;
    double twipsPerPixelY = 15;
    double viewWidth = 0;
    double viewHeight = 0;
};

ViewScale makeViewScale(const ScreenMetrics& screen, double viewWidth, double viewHeight);

struct ViewRect {
    std::int32_t left = 0;
    std::int32_t top = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    friend bool operator==(const ViewRect&, const ViewRect&) = default;
};

// A window rectangle in view units, each value rounded halves to even. Values
// beyond 32 bits (a screen of zero size) are pinned to the range.
ViewRect screenToView(const Rect& rect, const ViewScale& scale);

// A view position as screen pixels, rounded towards minus infinity.
Point viewToScreen(double x, double y, const ViewScale& scale);

// The view's height for its width, in the screen's proportions (0 for a screen
// of zero width).
double viewHeightFor(const ScreenMetrics& screen, double viewWidth);

}  // namespace sw
