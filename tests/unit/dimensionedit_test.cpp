// Dimension edits and the placement call's arguments, on the labels as text.
#include <gtest/gtest.h>

#include "control/dimensionedit.h"
#include "control/windowcommands.h"

namespace sw {
namespace {

// A window at (21, 21) - (821, 621).
DimensionLabels shown() { return {"21", "21", "821", "621", "800", "600"}; }

TEST(DimensionTexts, WritesAllSixWithSigns) {
    EXPECT_EQ(DimensionTexts(Rect{-4, -4, 1028, 772}),
              (DimensionLabels{"-4", "-4", "1028", "772", "1032", "776"}));
    EXPECT_EQ(DimensionTexts(Rect{}), (DimensionLabels{"0", "0", "0", "0", "0", "0"}));
    // Extreme edges do not overflow the width.
    EXPECT_EQ(DimensionTexts(Rect{-2147483647 - 1, 0, 2147483647, 0})[kWidth], "4294967295");
}

TEST(ApplyDimensionEdit, EdgesAndSizesFeedThePlacement) {
    // Left and Top move, Width and Height resize; the other labels are kept.
    auto l = ApplyDimensionEdit(shown(), kLeft, "100");
    ASSERT_TRUE(l);
    EXPECT_EQ(*l, (DimensionLabels{"100", "21", "821", "621", "800", "600"}));
    EXPECT_EQ(PlacementFromLabels(*l), (Placement{100, 21, 800, 600}));

    l = ApplyDimensionEdit(shown(), kWidth, "640");
    ASSERT_TRUE(l);
    EXPECT_EQ(PlacementFromLabels(*l), (Placement{21, 21, 640, 600}));

    // Right keeps Left and recomputes Width, in whole numbers (100.5 -> 100).
    l = ApplyDimensionEdit(shown(), kRight, "100.5");
    ASSERT_TRUE(l);
    EXPECT_EQ((*l)[kRight], "100.5");
    EXPECT_EQ((*l)[kWidth], "79");

    // Bottom keeps fractions in Height; the placement call rounds 79.5 to 80.
    l = ApplyDimensionEdit(shown(), kBottom, "100.5");
    ASSERT_TRUE(l);
    EXPECT_EQ((*l)[kHeight], "79.5");
    EXPECT_EQ(PlacementFromLabels(*l), (Placement{21, 21, 800, 80}));

    // A Right edge left of Left gives a negative width, passed on unchanged.
    l = ApplyDimensionEdit(shown(), kRight, "0");
    ASSERT_TRUE(l);
    EXPECT_EQ(PlacementFromLabels(*l), (Placement{21, 21, -21, 600}));
}

TEST(ApplyDimensionEdit, RightWorksBeyondSixteenBits) {
    const DimensionLabels labels{"-40000", "0", "0", "0", "0", "0"};
    const auto l = ApplyDimensionEdit(labels, kRight, "40000");
    ASSERT_TRUE(l);
    EXPECT_EQ((*l)[kWidth], "80000");
}

TEST(ApplyDimensionEdit, RefusesWhatIsNotANumberOrDoesNotFit) {
    for (int index = kLeft; index <= kHeight; ++index) {
        for (const char* text : {"", "abc", "12px", "99999999999"}) {
            std::string why;
            EXPECT_FALSE(ApplyDimensionEdit(shown(), index, text, &why)) << index << " " << text;
            EXPECT_FALSE(why.empty());
        }
    }
    // A Right edge whose width would leave 32 bits.
    std::string why;
    EXPECT_FALSE(ApplyDimensionEdit({"-2147483648", "0", "0", "0", "0", "0"}, kRight,
                                    "2147483647", &why));
    EXPECT_EQ(why, "Number out of range");
    // A Bottom edge whose height would.
    EXPECT_FALSE(ApplyDimensionEdit({"0", "-2147483648", "0", "0", "0", "0"}, kBottom,
                                    "2147483647", &why));
    EXPECT_FALSE(ApplyDimensionEdit(shown(), 6, "1"));
}

TEST(WindowCommands, ButtonsAndStates) {
    EXPECT_EQ(ShowCommandForOption(0), ShowCommand::ShowNormal);
    EXPECT_EQ(ShowCommandForOption(1), ShowCommand::Minimise);
    EXPECT_EQ(ShowCommandForOption(2), ShowCommand::ShowMaximised);
    EXPECT_FALSE(ShowCommandForOption(3));
    EXPECT_EQ(OptionForShowState(1), 0);
    EXPECT_EQ(OptionForShowState(2), 1);
    EXPECT_EQ(OptionForShowState(3), 2);
    EXPECT_EQ(OptionForShowState(0), -1);
    EXPECT_EQ(OptionForShowState(4), -1);
}

}  // namespace
}  // namespace sw
