// The visible-frame arithmetic with the bounds DWM reports on Windows 10 and 11.
#include <gtest/gtest.h>

#include <limits>

#include "frame.h"

namespace sw::win32 {
namespace {

// A Windows 10 window: 7-pixel resize borders left, right and below, none above.
const Rect kWindow{93, 100, 707, 507};
const Rect kVisible{100, 100, 700, 500};

TEST(Frame, BordersAreWhatLiesOutsideTheVisibleFrameWhereDwmReportsOneInside) {
    EXPECT_EQ(invisibleBorders(kWindow, kVisible), (Borders{7, 0, 7, 7}));
    EXPECT_EQ(seenRect(kWindow, kVisible), kVisible);
    // Without DWM, or with bounds beyond the window rectangle, that rectangle is what is seen.
    for (const std::optional<Rect> bounds :
         {std::optional<Rect>{}, std::optional<Rect>{Rect{90, 100, 700, 500}}}) {
        EXPECT_EQ(invisibleBorders(kWindow, bounds), Borders{});
        EXPECT_EQ(seenRect(kWindow, bounds), kWindow);
    }
}

TEST(Frame, PlacementAsksForTheBordersAroundTheWantedFrameWithin32Bits) {
    const Borders borders = invisibleBorders(kWindow, kVisible);
    EXPECT_EQ(windowRectFor(100, 100, 600, 400, borders), kWindow);
    EXPECT_EQ(windowRectFor(-50, 20, 300, 200, borders), (Rect{-57, 20, 257, 227}));
    EXPECT_EQ(windowRectFor(-50, 20, 300, 200, Borders{}), (Rect{-50, 20, 250, 220}));
    EXPECT_EQ(windowRectFor(10, 10, -30, -1, borders),
              (Rect{3, 10, 17, 17}));  // negative sizes: zero
    constexpr std::int32_t kMax = std::numeric_limits<std::int32_t>::max();
    constexpr std::int32_t kMin = std::numeric_limits<std::int32_t>::min();
    EXPECT_EQ(windowRectFor(kMax, kMin, kMax, 5, borders), (Rect{kMax - 7, kMin, kMax, kMin + 12}));
}

}  // namespace
}  // namespace sw::win32
