// Numbers and text: halves to even, numbers as people type them (and the
// refusals), formatting, and cutting UTF-8 text by characters.
#include <gtest/gtest.h>

#include <cmath>

#include "appinfo.h"
#include "commandline.h"
#include "monitorgeometry.h"
#include "numbers.h"
#include "text.h"

namespace sw {
namespace {

TEST(Numbers, RoundingHalvesToEven) {
    const std::pair<double, double> rounded[] = {
        {0.5, 0},   {1.5, 2},    {2.5, 2},      {-0.5, 0},  {-1.5, -2},
        {-2.5, -2}, {2.4999, 2}, {-2.5001, -3}, {79.5, 80},
    };
    for (const auto& [in, out] : rounded) EXPECT_EQ(roundHalfEven(in), out) << in;
    EXPECT_EQ(designPixels(3645), 243);
    EXPECT_EQ(designPixels(22.5), 2);
    EXPECT_EQ(pinToInt32(1e12), 2147483647);
    EXPECT_EQ(pinToInt32(-1e12), -2147483647 - 1);
    EXPECT_EQ(pinToInt32(std::nan("")), 0);
}

TEST(Numbers, TypedNumbersAreReadOrRefusedWithAReason) {
    const std::pair<const char*, std::int32_t> read[] = {
        {"800", 800},
        {"  -4 ", -4},
        {"+12", 12},
        {"100.5", 100},
        {"101.5", 102},
        {".5", 0},
        {"1e3", 1000},
        {"2E2", 200},
        {"2147483647", 2147483647},
        {"-2147483648", INT32_MIN},
        {"1e-400", 0},
        {"5.", 5},
    };
    for (const auto& [text, value] : read) EXPECT_EQ(parseInt32(text), value) << text;
    const std::pair<const char*, const char*> refused[] = {
        {"", "Type a number"},
        {" ", "Type a number"},
        {"abc", "Not a number"},
        {"12abc", "Not a number"},
        {"1,5", "Not a number"},
        {"0x10", "Not a number"},
        {"inf", "Not a number"},
        {"-", "Not a number"},
        {"1e", "Not a number"},
        {"1e+", "Not a number"},
        {".", "Not a number"},
        {"1 2", "Not a number"},
        {"2147483648", "Number out of range"},
        {"-2147483649", "Number out of range"},
        {"1e400", "Number out of range"},
    };
    for (const auto& [text, why] : refused) {
        std::string reason;
        EXPECT_FALSE(parseInt32(text, &reason)) << text;
        EXPECT_EQ(reason, why) << text;
    }
    EXPECT_EQ(formatNumber(79.5), "79.5");
    EXPECT_EQ(formatNumber(-0.0), "0");
    EXPECT_EQ(formatNumber(-4294967295.0), "-4294967295");
}

TEST(Text, CutsByCharactersNeverInsideOne) {
    EXPECT_EQ(cutToCharacters("h\xC3\xA9llo", 2), "h\xC3\xA9");
    EXPECT_EQ(cutToCharacters("\xF0\x9F\x98\x80\xF0\x9F\x98\x80", 1), "\xF0\x9F\x98\x80");
    EXPECT_EQ(cutToCharacters("ab", 5), "ab");
    // A byte that is no UTF-8 counts as one character, as does a cut sequence.
    EXPECT_EQ(characterCount("a\xFF\xE6\x97"
                             "b\xE0\xA0\x80"),
              6u);
    EXPECT_EQ(cutToCharacters("\xE6\x97\xA5x", 1), "\xE6\x97\xA5");
    EXPECT_EQ(cutToCharacters(std::string_view("\xE6\x97\x80", 2), 1),
              "\xE6");  // read cut mid-character
}

TEST(Monitors, WhichMonitorAndBackIntoSight) {
    // Side by side, tops apart; a third left of the primary, at negative co-ordinates.
    const std::vector<Rect> m{{0, 256, 1280, 1280}, {1280, 0, 2304, 768}, {-800, 0, 0, 600}};
    EXPECT_EQ(monitorAt(m, {1300, 10}), m[1]);
    EXPECT_EQ(monitorAt(m, {300, 10}), m[0]);  // in the corner on none: the nearest
    EXPECT_EQ(monitorAt(m, {-1, 600}), m[0]);  // a tie goes to the one listed first
    EXPECT_EQ(monitorAt(m, {-2, 601}),
              m[0]);  // two pixels from each, below one and beside the other
    EXPECT_EQ(monitorAt({{0, 0, 10, 10}, {20, 0, 30, 10}}, {15, 5}),
              (Rect{20, 0, 30, 10}));  // 6 past one, 5 before the other
    EXPECT_EQ(monitorHoldingMost(m, {1000, 300, 1400, 500}), m[0]);
    EXPECT_EQ(monitorHoldingMost(m, {1200, 300, 1600, 500}), m[1]);
    EXPECT_EQ(monitorHoldingMost(m, {1000, 0, 1400, 300}), m[1]);  // less wide, but taller there
    EXPECT_EQ(monitorHoldingMost(m, {2400, 2000, 2600, 2100}),
              m[1]);  // on none: nearest its centre
    EXPECT_EQ(monitorHoldingMost(m, {-32000, -32000, -31840, -31972}),
              m[2]);  // on none: nearest its centre
    EXPECT_EQ(ontoMonitor(m, {10, 300}, 300, 200), (Point{10, 300}));     // wholly on one
    EXPECT_EQ(ontoMonitor(m, {1100, 300}, 300, 200), (Point{980, 300}));  // only its strip seen
    EXPECT_EQ(ontoMonitor(m, {300, 0}, 300, 200), (Point{300, 256}));
    EXPECT_EQ(ontoMonitor({m[1], m[0]}, {0, 0}, 300, 200),
              (Point{1280, 0}));  // the first start: the primary's corner
    EXPECT_EQ(ontoMonitor(m, {2200, 760}, 300, 200), (Point{2004, 568}));
    EXPECT_EQ(ontoMonitor(m, {-900, 900}, 1000, 100),
              (Point{-800, 500}));  // wider: at its left edge
    EXPECT_EQ(ontoMonitor({}, {5, 5}, 1, 1), (Point{5, 5}));
    // Qt's co-ordinates: each screen keeps its corner in pixels and is scaled from there.
    const std::vector<ScaledScreen> s{{m[0], 1.0}, {m[1], 2.0}};
    EXPECT_EQ(pixelToScaled(s, {373, 273}), (Point{373, 273}));
    EXPECT_EQ(pixelToScaled(s, {1780, 500}), (Point{1530, 250}));
    EXPECT_EQ(scaledToPixel(s, {1530, 250}), (Point{1780, 500}));
    EXPECT_EQ(scaledToPixel(s, 1530.5, 250.5),
              (Point{1781, 501}));                                 // a pointer between whole units
    EXPECT_EQ(pixelToScaled(s, {1500, 900}), (Point{1390, 450}));  // on none: the nearest screen
    const std::vector<ScaledScreen> oneAndAHalf{{{0, 0, 1920, 1080}, 1.5}};
    EXPECT_EQ(pixelToScaled(oneAndAHalf, {373, 273}), (Point{249, 182}));
    EXPECT_EQ(scaledToPixel(oneAndAHalf, {249, 182}),
              (Point{374, 273}));  // not every pixel has a place
}

TEST(CommandLine, KnowsItsOptionsAndNamesTheFirstUnknownOne) {
    EXPECT_TRUE(parseCommandLine({}).splash);
    const CommandLine line = parseCommandLine({"--no-splash", "--bogus", "-x"});
    EXPECT_FALSE(line.splash);
    EXPECT_EQ(line.unknown, "--bogus");
    EXPECT_EQ(replyTo(line)->status, 2);
    EXPECT_NE(replyTo(line)->err.find("unknown option --bogus"), std::string::npos);
    EXPECT_EQ(replyTo(parseCommandLine({"-h"}))->out, usageText());
    EXPECT_EQ(replyTo(parseCommandLine({"--version", "--bogus"}))->out,
              "Sizewise " + versionText() + "\n");
    EXPECT_FALSE(replyTo(parseCommandLine({"--no-splash"})));
    char program[] = "sizewise", other[] = "--no-splash";
    for (std::string ask : {"--help", "-h", "--version", "-v"}) {
        char* asking[] = {program, other, ask.data()};
        EXPECT_TRUE(asksHelpOrVersion(3, asking)) << ask;
    }
    char* without[] = {program, other};
    EXPECT_FALSE(asksHelpOrVersion(2, without));
}

}  // namespace
}  // namespace sw
