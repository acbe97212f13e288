// The rulers' plain logic: the scale's marks, the lock table, measuring, the
// handle drag and the stored settings, for both axes.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "rulers/scale.h"

namespace sw {
namespace {

std::vector<std::string> captions(const ScaleMarks& m) {
    std::vector<std::string> out;
    for (const ScaleNumber& n : m.numbers) out.push_back(n.caption);
    return out;
}

TEST(Scale, TicksEndAtTheFirstMultipleOfTenNotBelowTheStrip) {
    const ScaleMarks m1024 = LayOutScale(Axis::Horizontal, 1024, 20);
    ASSERT_EQ(m1024.ticks.size(), 104u);
    EXPECT_EQ(m1024.ticks.front(), 0);
    EXPECT_EQ(m1024.ticks.back(), 1030);
    EXPECT_EQ(m1024.halfTicks.front(), 5);
    EXPECT_EQ(m1024.halfTicks.back(), 1035);
    EXPECT_EQ(LayOutScale(Axis::Vertical, 1280, 12).ticks.back(), 1280);
}

TEST(Scale, NumbersAreSpacedByTheirOwnText) {
    // Digits 5 pixels wide: a number is placed only where it starts after the
    // last one ends, so two- and three-digit numbers come every 20, four-digit every 30.
    const ScaleMarks m = LayOutScale(Axis::Horizontal, 1100, 20);
    const auto c = captions(m);
    ASSERT_GE(c.size(), 3u);
    EXPECT_EQ(c[0], "10");
    EXPECT_DOUBLE_EQ(m.numbers[0].start, 0);  // centred as "8888" would be
    EXPECT_EQ(c[1], "30");
    EXPECT_NE(std::find(c.begin(), c.end(), "130"), c.end());
    EXPECT_EQ(std::find(c.begin(), c.end(), "120"), c.end());
    EXPECT_NE(std::find(c.begin(), c.end(), "1040"), c.end());
    EXPECT_EQ(std::find(c.begin(), c.end(), "1030"), c.end());
    // On the vertical strip every number is one line high, whatever its digits.
    const auto v = captions(LayOutScale(Axis::Vertical, 1100, 12));
    EXPECT_EQ(v[0], "10");
    EXPECT_NE(std::find(v.begin(), v.end(), "1030"), v.end());
}

TEST(Scale, AbsoluteModeShiftsTheStripByTheRulersScreenEdge) {
    EXPECT_DOUBLE_EQ(PositionLegend(1, 300 * 15, 15), -300);
    EXPECT_DOUBLE_EQ(PositionLegend(7, -200 * 15, 15), 200);  // any mode but 0 is absolute
    EXPECT_DOUBLE_EQ(PositionLegend(0, 300 * 15, 15), 0);
}

}  // namespace
}  // namespace sw
