// The pointer position and the button and SHIFT presses that happen between two
// reads, made with xdotool through the XTest extension.
#include "tests/x11/fixture.h"

namespace sw::x11::test {
namespace {

using PointerTest = DesktopTest;

TEST_F(PointerTest, SetCursorPosLandsExactly) {
    for (const Point p : {Point{123, 456}, Point{0, 0}, Point{1023, 767}}) {
        desk->setCursorPos(p);
        EXPECT_EQ(desk->cursorPos(), p);
        EXPECT_EQ(desk->readPointer().position, p);
    }
}

TEST_F(PointerTest, ClickBetweenReadsIsLatchedOnce) {
    TestClient target({"--geometry", "300x300+100+100"});
    const Rect frame = truth.frame(target.window());
    // Over a client window: a right click on the bare desktop opens openbox's menu.
    desk->setCursorPos({frame.left + 150, frame.top + 150});
    desk->readPointer();

    ASSERT_EQ(run("xdotool click 1"), 0);
    KeyStates keys = desk->readPointer().keys;
    EXPECT_TRUE(keys.left);
    EXPECT_FALSE(keys.right);
    EXPECT_FALSE(keys.shift);
    EXPECT_FALSE(desk->readPointer().keys.left);

    ASSERT_EQ(run("xdotool click 3"), 0);
    keys = desk->readPointer().keys;
    EXPECT_TRUE(keys.right);
    EXPECT_FALSE(keys.left);
    EXPECT_FALSE(desk->readPointer().keys.right);
}

TEST_F(PointerTest, ShiftPressedAndReleasedBetweenReadsIsLatchedOnce) {
    desk->readPointer();
    ASSERT_EQ(run("xdotool keydown shift"), 0);
    ASSERT_EQ(run("xdotool keyup shift"), 0);
    EXPECT_TRUE(desk->readPointer().keys.shift);
    EXPECT_FALSE(desk->readPointer().keys.shift);
}

TEST_F(PointerTest, LatchedThroughTheEventLoopToo) {
    desk->readPointer();
    ASSERT_EQ(run("xdotool keydown shift keyup shift"), 0);
    // Let the socket notifier take the events first; the read must still see them.
    waitUntil([] { return false; }, std::chrono::milliseconds(100));
    EXPECT_TRUE(desk->readPointer().keys.shift);
    EXPECT_FALSE(desk->readPointer().keys.shift);
}

TEST_F(PointerTest, ButtonHeldDownReadsDownUntilReleased) {
    TestClient target({"--geometry", "300x300+100+100"});
    const Rect frame = truth.frame(target.window());
    desk->setCursorPos({frame.left + 150, frame.top + 150});
    desk->readPointer();
    ASSERT_EQ(run("xdotool mousedown 1"), 0);
    EXPECT_TRUE(desk->readPointer().keys.left);
    EXPECT_TRUE(desk->readPointer().keys.left);
    ASSERT_EQ(run("xdotool mouseup 1"), 0);
    EXPECT_FALSE(desk->readPointer().keys.left);
}

TEST_F(PointerTest, AStillPointerIsNotAskedAboutAgainButMotionIsSeenAtOnce) {
    desk->setCursorPos({200, 200});
    desk->readPointer();
    const auto before = desk->stats();
    for (int i = 0; i < 5; ++i) EXPECT_EQ(desk->readPointer().position, (Point{200, 200}));
    EXPECT_EQ(desk->stats().roundTrips - before.roundTrips, 0u);
    // Moved through the input devices, as a mouse does: the next read asks.
    ASSERT_EQ(run("xdotool mousemove_relative 7 3"), 0);
    EXPECT_EQ(desk->readPointer().position, (Point{207, 203}));
    // Only another program's warp goes unannounced; it is seen within ten reads.
    ASSERT_EQ(run("xdotool mousemove 300 310"), 0);
    Point seen{};
    for (int i = 0; i < 10 && seen != Point{300, 310}; ++i) seen = desk->readPointer().position;
    EXPECT_EQ(seen, (Point{300, 310}));
}

}  // namespace
}  // namespace sw::x11::test
