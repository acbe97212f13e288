// The cost of the ten-a-second poll, windows that vanish under it, and the
// screen metrics.
#include <fcntl.h>
#include <unistd.h>

#include <QCoreApplication>
#include <cstdio>

#include "tests/x11/fixture.h"

namespace sw::x11::test {
namespace {

using PollingTest = DesktopTest;

TEST_F(PollingTest, SteadyStatePollCostsOneRoundTrip) {
    TestClient client({"--title", "steady", "--geometry", "250x180+70+80"});
    activate(client.window());
    // The first poll has nothing prefetched yet.
    ASSERT_EQ(desk->describeWindow(desk->foregroundWindow()).title, "steady");

    const auto before = desk->stats();
    for (int poll = 0; poll < 10; ++poll) {
        const WindowId target = desk->foregroundWindow();
        ASSERT_EQ(target, client.window());
        const WindowInfo info = desk->describeWindow(target);
        EXPECT_EQ(info.title, "steady");
        EXPECT_EQ(info.rect, truth.frame(client.window()));
    }
    const auto after = desk->stats();
    EXPECT_EQ(after.roundTrips - before.roundTrips, 10u);
    EXPECT_GE(after.requests - before.requests, 10u * 8u);
}

TEST_F(PollingTest, ChangedTargetCostsOneMoreRoundTrip) {
    TestClient a({"--title", "a"});
    TestClient b({"--title", "b"});
    activate(a.window());
    desk->describeWindow(desk->foregroundWindow());
    activate(b.window());
    const auto before = desk->stats();
    const WindowId target = desk->foregroundWindow();
    ASSERT_EQ(target, b.window());
    // The prefetched read of a is thrown away, not mixed into b's.
    EXPECT_EQ(desk->describeWindow(target).title, "b");
    EXPECT_EQ(desk->stats().roundTrips - before.roundTrips, 2u);
}

TEST_F(PollingTest, UntitledForegroundWithFallbackCostsOneRoundTrip) {
    // The poll reads the untitled foreground window, then the previous target.
    TestClient target({"--title", "target"});
    TestClient untitled({"--title", ""});
    activate(untitled.window());
    for (int poll = 0; poll < 2; ++poll) {
        ASSERT_EQ(desk->foregroundWindow(), untitled.window());
        ASSERT_EQ(desk->describeWindow(untitled.window()).title, "");
        ASSERT_EQ(desk->describeWindow(target.window()).title, "target");
    }
    const auto before = desk->stats();
    for (int poll = 0; poll < 5; ++poll) {
        desk->foregroundWindow();
        EXPECT_EQ(desk->describeWindow(untitled.window()).title, "");
        EXPECT_EQ(desk->describeWindow(target.window()).rect, truth.frame(target.window()));
    }
    EXPECT_EQ(desk->stats().roundTrips - before.roundTrips, 5u);
}

// Captures what is written to stderr while it lives.
class StderrCapture {
public:
    StderrCapture() {
        std::fflush(stderr);
        saved_ = dup(STDERR_FILENO);
        file_ = std::tmpfile();
        dup2(fileno(file_), STDERR_FILENO);
    }
    ~StderrCapture() { restore(); }
    std::string text() {
        restore();
        std::string out;
        std::rewind(file_);
        for (int c; (c = std::fgetc(file_)) != EOF;) out.push_back(static_cast<char>(c));
        return out;
    }

private:
    void restore() {
        if (saved_ < 0) return;
        std::fflush(stderr);
        dup2(saved_, STDERR_FILENO);
        close(saved_);
        saved_ = -1;
    }
    int saved_ = -1;
    std::FILE* file_ = nullptr;
};

TEST_F(PollingTest, VanishedWindowReadsAsFailureSilently) {
    auto client = std::make_unique<TestClient>(std::vector<std::string>{"--title", "doomed"});
    const WindowId gone = client->window();
    activate(gone);
    desk->describeWindow(desk->foregroundWindow());
    client->kill();
    ASSERT_TRUE(waitUntil([&] { return !truth.exists(gone); }));

    StderrCapture capture;
    desk->foregroundWindow();  // prefetches the vanished window
    EXPECT_EQ(desk->describeWindow(gone), WindowInfo{});
    EXPECT_EQ(desk->describeWindow(gone), WindowInfo{});
    EXPECT_EQ(desk->windowRect(gone), Rect{});
    desk->placeWindow(gone, 10, 10, 100, 100);
    desk->showWindow(gone, ShowCommand::Minimise);
    desk->showWindow(gone, ShowCommand::ShowMaximised);
    desk->setTopmost(gone, true);
    desk->activateWindow(gone);
    desk->readPointer();
    waitUntil([] { return false; }, std::chrono::milliseconds(100));
    desk->processEvents();
    EXPECT_EQ(desk->describeWindow(0), WindowInfo{});
    EXPECT_EQ(capture.text(), "");
}

TEST_F(PollingTest, MetricsFollowXftDpi) {
    ScreenMetrics m = desk->metrics();
    EXPECT_EQ(m.widthPx, 1024);
    EXPECT_EQ(m.heightPx, 768);
    EXPECT_DOUBLE_EQ(m.twipsPerPixelX, 15.0);
    EXPECT_DOUBLE_EQ(m.twipsPerPixelY, 15.0);

    truth.setRootString("RESOURCE_MANAGER", "Xft.antialias:\t1\nXft.dpi:\t120\nXft.hinting:\t1\n");
    m = desk->metrics();
    EXPECT_DOUBLE_EQ(m.twipsPerPixelX, 12.0);
    EXPECT_DOUBLE_EQ(m.twipsPerPixelY, 12.0);
}

}  // namespace
}  // namespace sw::x11::test
