// Number conversion: halves to even, Int, parsing with refusals, formatting.
#include <gtest/gtest.h>

#include "app/numbers.h"

namespace sw {
namespace {

TEST(RoundHalfEven, HalvesGoToTheEvenNeighbour) {
    EXPECT_EQ(RoundHalfEven(0.5), 0);
    EXPECT_EQ(RoundHalfEven(1.5), 2);
    EXPECT_EQ(RoundHalfEven(2.5), 2);
    EXPECT_EQ(RoundHalfEven(-0.5), 0);
    EXPECT_EQ(RoundHalfEven(-1.5), -2);
    EXPECT_EQ(RoundHalfEven(-2.5), -2);
    EXPECT_EQ(RoundHalfEven(79.5), 80);
    EXPECT_EQ(RoundHalfEven(100.5), 100);
    EXPECT_EQ(RoundHalfEven(2.4999), 2);
    EXPECT_EQ(RoundHalfEven(-2.5001), -3);
}

TEST(Int, RoundsTowardsMinusInfinity) {
    EXPECT_EQ(Int(6.9), 6);
    EXPECT_EQ(Int(-0.1), -1);
    EXPECT_EQ(Int(-1.0), -1);
    // 10 view units of 1545 on a 15360-twip screen at 15 twips per pixel.
    EXPECT_EQ(Int(10.0 / 1545 * 15360 / 15), 6);
    EXPECT_EQ(Int(-1.0 / 1545 * 15360 / 15), -1);
}

TEST(ToLong, AcceptsNumbersAsPeopleTypeThem) {
    EXPECT_EQ(ToLong("800"), 800);
    EXPECT_EQ(ToLong("  -4 "), -4);
    EXPECT_EQ(ToLong("+12"), 12);
    EXPECT_EQ(ToLong("100.5"), 100);
    EXPECT_EQ(ToLong("101.5"), 102);
    EXPECT_EQ(ToLong(".5"), 0);
    EXPECT_EQ(ToLong("1e3"), 1000);
    EXPECT_EQ(ToLong("2147483647"), 2147483647);
    EXPECT_EQ(ToLong("-2147483648"), -2147483647 - 1);
    EXPECT_EQ(ToLong("2147483647.4"), 2147483647);
    EXPECT_EQ(ToLong("1e-400"), 0);
}

TEST(ToLong, RefusesWithAReason) {
    struct Case {
        const char* text;
        const char* why;
    };
    for (const Case& c : {Case{"", "Type a number"}, Case{"   ", "Type a number"},
                          Case{"abc", "Not a number"}, Case{"12abc", "Not a number"},
                          Case{"1,5", "Not a number"}, Case{"0x10", "Not a number"},
                          Case{"inf", "Not a number"}, Case{"nan", "Not a number"},
                          Case{"-", "Not a number"}, Case{"1e", "Not a number"},
                          Case{"1 2", "Not a number"}, Case{"2147483648", "Number out of range"},
                          Case{"-2147483649", "Number out of range"},
                          Case{"99999999999", "Number out of range"},
                          Case{"1e400", "Number out of range"}}) {
        std::string why;
        EXPECT_FALSE(ToLong(c.text, &why).has_value()) << c.text;
        EXPECT_EQ(why, c.why) << c.text;
    }
}

TEST(FormatNumber, FifteenSignificantDigitsAndNoPointForWholes) {
    EXPECT_EQ(FormatNumber(79.5), "79.5");
    EXPECT_EQ(FormatNumber(80.0), "80");
    EXPECT_EQ(FormatNumber(-0.0), "0");
    EXPECT_EQ(FormatNumber(-4294967295.0), "-4294967295");
    EXPECT_EQ(FormatNumber(0.1 + 0.2), "0.3");
    EXPECT_EQ(FormatLong(-32000), "-32000");
}

TEST(DesignPixels, TwipsAtFifteenPerPixel) {
    EXPECT_EQ(DesignPixels(3645), 243);
    EXPECT_EQ(DesignPixels(615), 41);
    EXPECT_EQ(DesignPixels(1850), 123);
    EXPECT_EQ(DesignPixels(7.5), 0);    // half a pixel rounds to even
    EXPECT_EQ(DesignPixels(22.5), 2);
}

}  // namespace
}  // namespace sw
