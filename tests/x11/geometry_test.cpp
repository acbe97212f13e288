// Outer rectangles and show states read and set through the backend, checked
// against the window manager's frame window. Changes are sent without waiting
// for them to land, so the checks wait for the frame.
#include "tests/x11/fixture.h"

namespace sw::x11::test {
namespace {

using GeometryTest = DesktopTest;

// Places the window, which must cost at most one round trip (no waiting for
// the window manager), then waits until the frame and the backend's read agree
// on the target.
void placeAndExpect(X11Desktop& desk, Truth& truth, WindowId window, const Rect& target) {
    const auto before = desk.stats();
    desk.placeWindow(window, target.left, target.top, static_cast<std::int32_t>(target.width()),
                     static_cast<std::int32_t>(target.height()));
    EXPECT_LE(desk.stats().roundTrips - before.roundTrips, 1u);
    EXPECT_TRUE(waitUntil([&] {
        return truth.frame(window) == target && desk.windowRect(window) == target;
    })) << "frame " << ::testing::PrintToString(truth.frame(window)) << ", read "
        << ::testing::PrintToString(desk.windowRect(window)) << " for "
        << ::testing::PrintToString(target);
}

TEST_F(GeometryTest, DescribedRectangleIsTheFrame) {
    TestClient client({"--title", "frame", "--geometry", "320x240+150+90"});
    const Rect frame = truth.frame(client.window());
    ASSERT_NE(frame, Rect{});
    // The frame is larger than the client on every side openbox decorates.
    EXPECT_GT(frame.width(), 320);
    EXPECT_GT(frame.height(), 240);

    const WindowInfo info = desk->describeWindow(client.window());
    EXPECT_EQ(info.rect, frame);
    EXPECT_EQ(info.showState, kShowStateNormal);
    EXPECT_EQ(info.title, "frame");
    EXPECT_EQ(desk->windowRect(client.window()), frame);
}

TEST_F(GeometryTest, PlaceWindowLandsExactlyOnTheFrame) {
    TestClient client({"--geometry", "200x150+40+40"});
    const Rect targets[] = {
        rectOf(100, 100, 400, 300), rectOf(0, 0, 200, 150),    rectOf(333, 217, 185, 173),
        rectOf(50, 61, 641, 479),   rectOf(700, 500, 324, 268), rectOf(-20, -10, 300, 200),
    };
    for (const Rect& target : targets) placeAndExpect(*desk, truth, client.window(), target);
}

TEST_F(GeometryTest, PlaceWindowRestoresAMaximisedWindowFirst) {
    TestClient client({"--geometry", "300x200+60+60"});
    desk->showWindow(client.window(), ShowCommand::ShowMaximised);
    ASSERT_TRUE(waitUntil(
        [&] { return desk->describeWindow(client.window()).showState == kShowStateMaximised; }));

    // The placement waits for the restore from the event loop, not in the call;
    // a second one replaces it.
    desk->placeWindow(client.window(), 40, 50, 500, 400);
    const Rect target = rectOf(210, 180, 377, 255);
    placeAndExpect(*desk, truth, client.window(), target);
    const WindowInfo info = desk->describeWindow(client.window());
    EXPECT_EQ(info.rect, target);
    EXPECT_EQ(info.showState, kShowStateNormal);
    EXPECT_FALSE(truth.hasState(client.window(), "_NET_WM_STATE_MAXIMIZED_VERT"));
    EXPECT_FALSE(truth.hasState(client.window(), "_NET_WM_STATE_MAXIMIZED_HORZ"));
    // Nothing of the replaced placement arrives later, its fallback time included.
    waitUntil([] { return false; }, std::chrono::milliseconds(500));
    EXPECT_EQ(truth.frame(client.window()), target);
}

TEST_F(GeometryTest, PlaceWindowShowsAMinimisedWindowWhereAsked) {
    TestClient client({"--geometry", "280x190+120+110"});
    activate(client.window());
    desk->showWindow(client.window(), ShowCommand::Minimise);
    ASSERT_TRUE(waitUntil(
        [&] { return desk->describeWindow(client.window()).showState == kShowStateMinimised; }));
    placeAndExpect(*desk, truth, client.window(), rectOf(300, 250, 350, 260));
    EXPECT_EQ(desk->describeWindow(client.window()).showState, kShowStateNormal);
    EXPECT_TRUE(waitUntil([&] { return truth.activeWindow() == client.window(); }));
}

TEST_F(GeometryTest, MinimisedReadsTheParkingPositionWithTheRestoredSize) {
    TestClient client({"--geometry", "280x190+120+110"});
    activate(client.window());
    const Rect before = truth.frame(client.window());

    desk->showWindow(client.window(), ShowCommand::Minimise);
    ASSERT_TRUE(waitUntil(
        [&] { return desk->describeWindow(client.window()).showState == kShowStateMinimised; }));
    const WindowInfo info = desk->describeWindow(client.window());
    EXPECT_EQ(info.rect, rectOf(kMinimisedPosition, kMinimisedPosition,
                                static_cast<std::int32_t>(before.width()),
                                static_cast<std::int32_t>(before.height())));
    EXPECT_TRUE(truth.hasState(client.window(), "_NET_WM_STATE_HIDDEN"));

    desk->showWindow(client.window(), ShowCommand::ShowNormal);
    ASSERT_TRUE(waitUntil(
        [&] { return desk->describeWindow(client.window()).showState == kShowStateNormal; }));
    // openbox slides the frame back in; the read ends where the window started.
    EXPECT_TRUE(waitUntil([&] { return desk->describeWindow(client.window()).rect == before; }))
        << ::testing::PrintToString(desk->describeWindow(client.window()).rect);
    EXPECT_TRUE(waitUntil([&] { return truth.activeWindow() == client.window(); }));
}

TEST_F(GeometryTest, MaximisedReadsStateThreeAndTheMaximisedFrame) {
    TestClient client({"--geometry", "300x200+60+60"});
    desk->showWindow(client.window(), ShowCommand::ShowMaximised);
    ASSERT_TRUE(waitUntil(
        [&] { return desk->describeWindow(client.window()).showState == kShowStateMaximised; }));
    // The geometry follows the extents a moment later; the read must settle on the frame.
    EXPECT_TRUE(waitUntil(
        [&] { return desk->describeWindow(client.window()).rect == truth.frame(client.window()); }));
    EXPECT_EQ(truth.frame(client.window()).width(), 1024);

    desk->showWindow(client.window(), ShowCommand::ShowNormal);
    EXPECT_TRUE(waitUntil(
        [&] { return desk->describeWindow(client.window()).showState == kShowStateNormal; }));
}

}  // namespace
}  // namespace sw::x11::test
