// The foreground window, activation, pushing the foreground window to the back
// and the always-on-top state, through the window manager.
#include <chrono>

#include "tests/x11/fixture.h"

namespace sw::x11::test {
namespace {

using FocusTest = DesktopTest;

TEST_F(FocusTest, ForegroundWindowFollowsActivation) {
    TestClient a({"--title", "a", "--geometry", "200x200+10+10"});
    TestClient b({"--title", "b", "--geometry", "200x200+300+10"});
    activate(a.window());
    EXPECT_EQ(desk->foregroundWindow(), a.window());
    activate(b.window());
    EXPECT_EQ(desk->foregroundWindow(), b.window());
    activate(a.window());
    EXPECT_EQ(desk->foregroundWindow(), a.window());
}

TEST_F(FocusTest, SendForegroundToBackActivatesTheNextWindowThatTakesFocus) {
    TestClient a({"--title", "a", "--geometry", "200x200+10+10"});
    TestClient passive({"--title", "passive", "--no-input", "--geometry", "200x200+100+100"});
    TestClient b({"--title", "b", "--geometry", "200x200+200+200"});
    activate(b.window());
    const auto before = truth.stacking();
    ASSERT_EQ(before, (std::vector<WindowId>{a.window(), passive.window(), b.window()}));

    desk->sendForegroundToBack();
    // The switch is done when the call returns: no waiting here.
    EXPECT_EQ(truth.activeWindow(), a.window());
    EXPECT_EQ(desk->foregroundWindow(), a.window());
    EXPECT_TRUE(waitUntil([&] { return truth.stacking().front() == b.window(); }));
}

TEST_F(FocusTest, SendForegroundToBackWithNoOtherWindowReturnsAtOnce) {
    TestClient only({"--title", "only"});
    activate(only.window());
    const auto before = desk->stats();
    const auto start = std::chrono::steady_clock::now();
    desk->sendForegroundToBack();
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(desk->stats().roundTrips - before.roundTrips, 1u);
    EXPECT_LT(took, std::chrono::milliseconds(100));
}

TEST_F(FocusTest, TopmostIsSetAndClearedWithoutMovingOrActivating) {
    TestClient a({"--title", "a", "--geometry", "200x200+10+10"});
    TestClient b({"--title", "b", "--geometry", "200x200+300+10"});
    activate(b.window());
    const Rect frame = truth.frame(a.window());

    desk->setTopmost(a.window(), true);
    EXPECT_TRUE(waitUntil([&] { return truth.hasState(a.window(), "_NET_WM_STATE_ABOVE"); }));
    EXPECT_EQ(truth.activeWindow(), b.window());
    EXPECT_EQ(truth.frame(a.window()), frame);

    desk->setTopmost(a.window(), false);
    EXPECT_TRUE(waitUntil([&] { return !truth.hasState(a.window(), "_NET_WM_STATE_ABOVE"); }));
    EXPECT_EQ(truth.activeWindow(), b.window());
}

}  // namespace
}  // namespace sw::x11::test
