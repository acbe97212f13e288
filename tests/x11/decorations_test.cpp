// Windows under the compositing window managers xfwm4 and metacity: a GTK 3
// header-bar window that draws its own frame and an invisible shadow, and a
// window the window manager frames, read and placed by what is seen of them.
#include "tests/x11/fixture.h"

namespace sw::x11::test {
namespace {

class DecorationsTest : public DesktopTest {
protected:
    // Places the window, which costs at most one round trip (no waiting for the
    // window manager), and waits until what is seen of it is the target.
    void expectPlaced(WindowId window, const Rect& target) {
        const auto before = desk->stats();
        desk->placeWindow(window, target.left, target.top,
                          static_cast<std::int32_t>(target.width()),
                          static_cast<std::int32_t>(target.height()));
        EXPECT_LE(desk->stats().roundTrips - before.roundTrips, 1u);
        EXPECT_TRUE(waitUntil([&] {
            return truth.visible(window) == target && desk->describeWindow(window).rect == target;
        })) << "seen " << ::testing::PrintToString(truth.visible(window)) << ", read "
            << ::testing::PrintToString(desk->describeWindow(window).rect) << " for "
            << ::testing::PrintToString(target);
    }

    // Maximises or minimises the window and waits until the backend reads that state.
    void showAndWait(WindowId window, ShowCommand command, int state) {
        desk->showWindow(window, command);
        ASSERT_TRUE(waitUntil([&] { return desk->describeWindow(window).showState == state; }));
    }

    // The same kind of placement from the normal, maximised and minimised states.
    void expectPlacedFromEveryState(WindowId window) {
        expectPlaced(window, rectOf(0, 0, 420, 310));
        expectPlaced(window, rectOf(233, 157, 517, 389));
        showAndWait(window, ShowCommand::ShowMaximised, kShowStateMaximised);
        expectPlaced(window, rectOf(61, 47, 455, 333));
        EXPECT_EQ(desk->describeWindow(window).showState, kShowStateNormal);
        showAndWait(window, ShowCommand::Minimise, kShowStateMinimised);
        expectPlaced(window, rectOf(150, 120, 430, 300));
        EXPECT_EQ(desk->describeWindow(window).showState, kShowStateNormal);
    }
};

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
    expectPlacedFromEveryState(gtk.window());
}

TEST_F(DecorationsTest, FramedWindowIsPlacedByWhatIsSeen) {
    TestClient client({"--title", "framed", "--geometry", "300x200+60+60"});
    ASSERT_TRUE(waitUntil([&] { return truth.words(client.window(), "_NET_FRAME_EXTENTS").size() == 4; }));
    EXPECT_EQ(desk->describeWindow(client.window()).rect, truth.visible(client.window()));
    expectPlacedFromEveryState(client.window());
}

}  // namespace
}  // namespace sw::x11::test
