// The fake desktop behaves as the real one does where the program relies on it.
#include <gtest/gtest.h>

#include "platform/fake/fakedesktop.h"

namespace sw::fake {
namespace {

TEST(FakeDesktop, MinimisedWindowsReadAtMinus32000WithTheirRestoredSize) {
    FakeDesktop d;
    const WindowId w = d.addWindow("w", Rect{10, 20, 110, 220});
    d.showWindow(w, ShowCommand::Minimise);
    EXPECT_EQ(d.describeWindow(w), (WindowInfo{"w", Rect{-32000, -32000, -31900, -31800}, kShowStateMinimised}));
    d.showWindow(w, ShowCommand::ShowNormal);
    EXPECT_EQ(d.windowRect(w), (Rect{10, 20, 110, 220}));
    EXPECT_EQ(d.describeWindow(9999), WindowInfo{});
    EXPECT_EQ(d.metrics().widthTwips(), 15360);
}

TEST(FakeDesktop, KeyPressesLatchUntilRead) {
    FakeDesktop d;
    d.pressKeys(KeyStates{true, false, true});
    const PointerSnapshot first = d.readPointer();
    EXPECT_TRUE(first.keys.left);
    EXPECT_TRUE(first.keys.shift);
    EXPECT_FALSE(d.readPointer().keys.left);
}

}  // namespace
}  // namespace sw::fake
