// The marquee's sequence of texts and positions, the ellipsis boundary and the
// web button's ellipse.
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "mainwindow/marquee.h"

namespace sw {
namespace {

Marquee designMarquee() {
    return Marquee(320, 210, MarqueeFirstText("Sizewise", "Korvath"), MarqueeMessages("Sizewise", "Korvath"));
}

// Steps until the label is placed below the viewport with a new caption; returns
// how many steps that took.
int stepsUntilNewCaption(Marquee& m) {
    const std::string before = m.caption();
    for (int steps = 1; steps < 1000; ++steps) {
        if (m.Step()) m.EndPause();
        if (m.caption() != before || m.top() == 320) return steps;
    }
    return -1;
}

TEST(Marquee, StartsWithTheLoadTimeLine) {
    EXPECT_EQ(MarqueeFirstText("Sizewise", "Korvath"), " Sizewise - FreeWare from Korvath");
    Marquee m = designMarquee();
    EXPECT_EQ(m.caption(), " Sizewise - FreeWare from Korvath");
    EXPECT_EQ(m.top(), 0);
}

TEST(Marquee, LoadTimeLineLeavesInElevenStepsThenMessagesRepeatZeroOneTwo) {
    Marquee m = designMarquee();
    EXPECT_EQ(stepsUntilNewCaption(m), 11);
    std::vector<std::string> shown{m.caption()};
    for (int i = 0; i < 4; ++i) {
        stepsUntilNewCaption(m);
        shown.push_back(m.caption());
    }
    EXPECT_EQ(shown, (std::vector<std::string>{"Sizewise", "FreeWare From", "Korvath", "Sizewise",
                                               "FreeWare From"}));
}

TEST(Marquee, RisesSixteenStepsRestsUntilThePauseEndsThenLeavesInEleven) {
    Marquee m = designMarquee();
    stepsUntilNewCaption(m);
    ASSERT_EQ(m.top(), 320);
    for (int i = 1; i < 16; ++i) {
        EXPECT_FALSE(m.Step()) << i;
        EXPECT_EQ(m.top(), 320 - 20 * i);
    }
    EXPECT_TRUE(m.Step());
    EXPECT_EQ(m.top(), 0);
    // Resting: steps change nothing until the pause ends.
    for (int i = 0; i < 20; ++i) EXPECT_FALSE(m.Step());
    EXPECT_EQ(m.top(), 0);
    EXPECT_TRUE(m.resting());
    m.EndPause();
    for (int i = 1; i <= 10; ++i) {
        m.Step();
        EXPECT_EQ(m.top(), -20 * i);
    }
    EXPECT_EQ(m.caption(), "Sizewise");
    m.Step();  // at -220 it has left: the next message comes in the same step
    EXPECT_EQ(m.top(), 320);
    EXPECT_EQ(m.caption(), "FreeWare From");
}

TEST(Marquee, AViewportNotAMultipleOfTheStepNeverRests) {
    Marquee m(310, 210, "start", MarqueeMessages("Sizewise", "Korvath"));
    for (int i = 0; i < 500; ++i) EXPECT_FALSE(m.Step()) << i;
}

TEST(Ellipsis, ShowsOnlyWhenTheTitleEndsBeyondTheIndicator) {
    EXPECT_FALSE(EllipsisVisible(3480, 3480));  // just fits
    EXPECT_TRUE(EllipsisVisible(3495, 3480));
    EXPECT_FALSE(EllipsisVisible(3465, 3480));
}

TEST(RoundButton, DesignButtonGivesTheInsetEllipse) {
    EXPECT_EQ(RoundButtonEllipse(975, 975, 15, 15), (EllipseBox{5, 5, 60, 60}));
    // Other screens: each edge rounded on its own, halves to even (80 / 32 = 2.5).
    EXPECT_EQ(RoundButtonEllipse(975, 495, 32, 15), (EllipseBox{2, 5, 28, 28}));
}

TEST(RoundButton, EllipseRowsAreSymmetricAndTouchEveryEdgeOfTheBox) {
    const std::vector<PixelRow> rows = EllipseRows(EllipseBox{5, 5, 60, 60});
    ASSERT_EQ(rows.size(), 55u);
    EXPECT_EQ(rows.front().y, 5);
    EXPECT_EQ(rows.back().y, 59);
    int widest = 0;
    for (const PixelRow& row : rows) {
        const PixelRow& mirror = rows[rows.size() - 1 - static_cast<std::size_t>(row.y - 5)];
        EXPECT_EQ(row.left, mirror.left);
        EXPECT_EQ(row.left - 5, 60 - row.right) << "row " << row.y;
        widest = std::max(widest, row.right - row.left);
    }
    EXPECT_EQ(widest, 55);
    EXPECT_TRUE(EllipseRows(EllipseBox{5, 5, 5, 60}).empty());
}

}  // namespace
}  // namespace sw
