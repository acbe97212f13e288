// Windows under the compositing window managers xfwm4 and metacity: a GTK 3
// header-bar window that draws its own frame and an invisible shadow, and a
// window the window manager frames, read and placed by what is seen of them.
#include "tests/x11/fixture.h"

namespace sw::x11::test {
namespace {

using DecorationsTest = DesktopTest;

// Places the window and waits until what is seen of it is the target.
void expectPlaced(X11Desktop& desk, Truth& truth, WindowId window, const Rect& target) {
    desk.placeWindow(window, target.left, target.top, static_cast<std::int32_t>(target.width()),
                     static_cast<std::int32_t>(target.height()));
    EXPECT_TRUE(waitUntil([&] { return truth.visible(window) == target; }))
        << "seen " << ::testing::PrintToString(truth.visible(window)) << " for "
        << ::testing::PrintToString(target);
    EXPECT_EQ(desk.describeWindow(window).rect, target);
}

TEST_F(DecorationsTest, HeaderBarWindowReadsWithoutItsShadow) {
    TestClient gtk(headerBarProgram("header bar", "300x200+100+100"), kHeaderBarClass);
    // The window manager leaves it unframed and GTK declares a shadow on every side.
    const auto frame = truth.words(gtk.window(), "_NET_FRAME_EXTENTS");
    EXPECT_TRUE(frame.empty() || frame == std::vector<std::uint32_t>(4, 0));
    const auto shadow = truth.words(gtk.window(), "_GTK_FRAME_EXTENTS");
    ASSERT_EQ(shadow.size(), 4u);
    for (const auto side : shadow) EXPECT_GT(side, 0u);

    const Rect seen = truth.visible(gtk.window());
    EXPECT_LT(seen.width(), truth.frame(gtk.window()).width());
    const WindowInfo info = desk->describeWindow(gtk.window());
    EXPECT_EQ(info.rect, seen);
    EXPECT_EQ(info.title, "header bar");
    EXPECT_EQ(desk->windowRect(gtk.window()), seen);
}

TEST_F(DecorationsTest, HeaderBarWindowIsPlacedByWhatIsSeen) {
    TestClient gtk(headerBarProgram("header bar", "300x200+100+100"), kHeaderBarClass);
    for (const Rect& target : {rectOf(0, 0, 420, 310), rectOf(233, 157, 517, 389)}) {
        expectPlaced(*desk, truth, gtk.window(), target);
    }
}

TEST_F(DecorationsTest, FramedWindowIsPlacedByWhatIsSeen) {
    TestClient client({"--title", "framed", "--geometry", "300x200+60+60"});
    ASSERT_TRUE(waitUntil([&] { return truth.words(client.window(), "_NET_FRAME_EXTENTS").size() == 4; }));
    EXPECT_EQ(desk->describeWindow(client.window()).rect, truth.visible(client.window()));
    for (const Rect& target : {rectOf(0, 0, 400, 300), rectOf(321, 203, 377, 255)}) {
        expectPlaced(*desk, truth, client.window(), target);
    }
}

}  // namespace
}  // namespace sw::x11::test
