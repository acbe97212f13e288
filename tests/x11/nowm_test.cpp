// The backend on a display without an EWMH window manager, after a window
// manager died, and after the X server went away.
#include <signal.h>

#include <QCoreApplication>
#include <algorithm>

#include "tests/x11/fixture.h"

namespace sw::x11::test {
namespace {

using NoWindowManagerTest = DesktopTest;

bool hasWarning(const X11Desktop& desk, const std::string& start) {
    const auto all = desk.warnings();
    return std::any_of(all.begin(), all.end(),
                       [&](const std::string& w) { return w.rfind(start, 0) == 0; });
}

TEST_F(NoWindowManagerTest, WarnsAboutTheMissingWindowManagerOnly) {
    EXPECT_TRUE(hasWarning(*desk, "no EWMH window manager is running"));
    EXPECT_FALSE(hasWarning(*desk, "the X server has no XInput 2.2"));
}

TEST_F(NoWindowManagerTest, ForegroundIsTheFocusedTopLevelWindow) {
    TestClient a({"--title", "a"});
    TestClient b({"--title", "b"});
    truth.setInputFocus(a.window());
    EXPECT_EQ(desk->foregroundWindow(), a.window());
    truth.setInputFocus(b.window());
    EXPECT_EQ(desk->foregroundWindow(), b.window());
    truth.setInputFocus(kPointerRoot);
    EXPECT_EQ(desk->foregroundWindow(), 0u);
}

TEST_F(NoWindowManagerTest, PlaceWindowConfiguresTheClient) {
    TestClient client({"--title", "bare", "--geometry", "200x100+10+10"});
    const Rect target = rectOf(140, 90, 333, 222);
    desk->placeWindow(client.window(), target.left, target.top, 333, 222);
    // Sent, not waited for.
    EXPECT_TRUE(waitUntil([&] { return truth.frame(client.window()) == target; }));
    const WindowInfo info = desk->describeWindow(client.window());
    EXPECT_EQ(info, (WindowInfo{"bare", target, kShowStateNormal}));
}

TEST_F(NoWindowManagerTest, AKilledWindowManagerIsNoticed) {
    TestClient client({"--title", "c"});
    display().startWindowManager();
    {
        std::string error;
        auto fresh = X11Desktop::connect(nullptr, &error);
        ASSERT_TRUE(fresh);
        EXPECT_FALSE(hasWarning(*fresh, "no EWMH window manager"));
    }
    activate(client.window());
    EXPECT_EQ(desk->foregroundWindow(), client.window());

    // A killed window manager leaves _NET_SUPPORTING_WM_CHECK pointing at a window
    // that no longer exists.
    display().killWindowManager(SIGKILL);
    truth.setInputFocus(client.window());
    EXPECT_EQ(desk->foregroundWindow(), client.window());
    truth.setInputFocus(kPointerRoot);
    EXPECT_EQ(desk->foregroundWindow(), 0u);

    std::string error;
    auto later = X11Desktop::connect(nullptr, &error);
    ASSERT_TRUE(later);
    EXPECT_TRUE(hasWarning(*later, "no EWMH window manager is running"));
}

TEST(ConnectionLossTest, HandlerRunsOnceFromTheEventLoop) {
    auto server = std::make_unique<XServer>();
    std::string error;
    auto desk = X11Desktop::connect(server->display().c_str(), &error);
    ASSERT_TRUE(desk) << error;
    int calls = 0;
    bool insideCall = false;
    bool ranInsideCall = false;
    desk->setConnectionLostHandler([&] {
        ++calls;
        ranInsideCall = ranInsideCall || insideCall;
    });

    server->stop();
    insideCall = true;
    EXPECT_EQ(desk->describeWindow(desk->foregroundWindow()), WindowInfo{});
    EXPECT_EQ(desk->cursorPos(), Point{});
    insideCall = false;
    EXPECT_TRUE(waitUntil([&] { return calls > 0; }));
    waitUntil([] { return false; }, std::chrono::milliseconds(100));
    EXPECT_EQ(calls, 1);
    EXPECT_FALSE(ranInsideCall);
}

TEST(ConnectionLossTest, NoticedByTheNotifierWithoutAnyCall) {
    auto server = std::make_unique<XServer>();
    std::string error;
    auto desk = X11Desktop::connect(server->display().c_str(), &error);
    ASSERT_TRUE(desk) << error;
    int calls = 0;
    desk->setConnectionLostHandler([&] { ++calls; });
    server->stop();
    EXPECT_TRUE(waitUntil([&] { return calls > 0; }));
    EXPECT_EQ(calls, 1);
}

TEST(ConnectTest, UnreachableDisplayGivesAReason) {
    std::string error;
    EXPECT_FALSE(X11Desktop::connect(":9999", &error));
    EXPECT_NE(error.find(":9999"), std::string::npos);
}

}  // namespace
}  // namespace sw::x11::test
