// What the KWin backend does beyond the contract: the pointer as KWin reports it, a script that
// goes away, one Sizewise per session.
#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCall>
#include <QDir>
#include <QProcess>
#include <QTemporaryFile>

#include <chrono>

#include "kwinworld.h"

namespace sw::test {
namespace {

using Clock = std::chrono::steady_clock;

double millisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// A pointer device of KWin's fake input (scripts/fake_pointer.py): "X Y" in, "ok" once the
// compositor has moved the pointer.
class FakePointer {
public:
    FakePointer() {
        process_.start(QStringLiteral("/usr/bin/python3"),
                       {QStringLiteral(SIZEWISE_KWIN_TEST_DIR "/../../scripts/fake_pointer.py")});
        started_ = expect("ready");
    }
    ~FakePointer() {
        process_.closeWriteChannel();
        if (!process_.waitForFinished(5000)) process_.kill();
    }
    bool started() const { return started_; }
    bool moveTo(int x, int y) {
        process_.write(QStringLiteral("%1 %2\n").arg(x).arg(y).toUtf8());
        return expect("ok");
    }

private:
    bool expect(const char* word) {
        while (!process_.canReadLine()) {
            if (!process_.waitForReadyRead(10000)) return false;
        }
        return process_.readLine().trimmed() == word;
    }
    QProcess process_;
    bool started_ = false;
};

TEST(KWin, ThePointerReadsWhereKWinPutItAndEveryMoveIsTold) {
    KWinWorld world;
    FakePointer device;
    ASSERT_TRUE(device.started()) << "KWin's fake input is not offered to the tests";
    PointerInput& pointer = world.pointer();
    int told = 0;
    pointer.setInputHandler([&] { ++told; });
    for (const Point to : {Point{300, 200}, Point{310, 220}, Point{1500, 20}}) {
        told = 0;
        ASSERT_TRUE(device.moveTo(to.x, to.y));
        EXPECT_TRUE(world.eventually([&] { return told > 0 && pointer.cursorPos() == to; }))
            << to.x << ", " << to.y;
        EXPECT_EQ(pointer.readPointer(), (PointerSnapshot{to, KeyStates{}}));
    }
    pointer.setInputHandler(nullptr);
    // Not followed, a read asks for the position once and the next read has it.
    ASSERT_TRUE(device.moveTo(40, 30));
    EXPECT_TRUE(world.eventually([&] { return pointer.cursorPos() == Point{40, 30}; }));
}

// Sizewise's own windows live on Xwayland, where Qt names them by their X11 window ids: the
// backend takes those ids, also for a window it was never told of.
TEST(KWin, AWindowOfXwaylandIsNamedByItsX11WindowId) {
    KWinWorld world;
    const WindowId w = world.openOnXwayland("on xwayland");
    if (w == 0) GTEST_SKIP() << "this session has no Xwayland";
    WindowSystem& ws = world.windows();
    ws.placeWindow(w, Placement{70, 60, 333, 222});
    const Rect want{70, 60, 403, 282};
    EXPECT_TRUE(world.eventually([&] { return ws.windowRect(w) == want; }));
    EXPECT_EQ(world.frameOf(w), want);
    EXPECT_EQ(ws.describeWindow(w).title, "on xwayland");
    EXPECT_LT(w, 0x80000000u);
    ws.setTopmost(w, true);
    EXPECT_TRUE(world.eventually([&] { return world.isAbove(w); }));
    const WindowId wayland = world.open("on wayland");
    EXPECT_GE(wayland, 0x80000000u);
    ws.activateWindow(w);
    EXPECT_TRUE(world.eventually([&] { return ws.foregroundWindow() == w; }));
}

// KWin 5.27 numbers a script by how many are loaded: with one unloaded below another that stays,
// Sizewise's script gets the number of the one that stays, and still has to start.
TEST(KWin, TheScriptStartsWhenKWinGaveItsNumberToAnotherScript) {
    KWinWorld world;
    world.desk.reset();
    QTemporaryFile idle(QDir::tempPath() + QStringLiteral("/sizewise-idle-XXXXXX.js"));
    ASSERT_TRUE(idle.open() && idle.write("print('idle');\n") > 0 && idle.flush());
    const QString scripting = QStringLiteral("org.kde.kwin.Scripting");
    const auto call = [&](const char* method, const QVariantList& args) {
        return world.callScripting(QStringLiteral("/Scripting"), scripting, QLatin1String(method),
                                   args);
    };
    const int below =
        call("loadScript", {idle.fileName(), QStringLiteral("sizewise-below")}).toInt();
    const int stays =
        call("loadScript", {idle.fileName(), QStringLiteral("sizewise-stays")}).toInt();
    ASSERT_EQ(stays, below + 1);
    call("start", {});
    call("unloadScript", {QStringLiteral("sizewise-below")});
    std::string error;
    world.desk = kwin::KWinDesktop::connect(&error);
    ASSERT_TRUE(world.desk) << error;
    const auto start = Clock::now();
    EXPECT_TRUE(world.eventually([&] { return world.desk->ready(); }));
    RecordProperty("ready_after_ms", static_cast<int>(millisecondsSince(start)));
    call("unloadScript", {QStringLiteral("sizewise-stays")});
}

// A ruler takes no focus, so KWin never reports it by itself: read by its X11 id before KWin
// manages it, it is reported once it is there.
TEST(KWin, AWindowOfXwaylandReadBeforeItIsShownIsReportedOnceItIs) {
    KWinWorld world;
    const WindowId w = world.openOnXwayland(
        "not yet shown", {QStringLiteral("--no-focus"), QStringLiteral("--hidden")});
    if (w == 0) GTEST_SKIP() << "this session has no Xwayland";
    WindowSystem& ws = world.windows();
    EXPECT_EQ(ws.describeWindow(w), WindowInfo{});
    world.settle();
    world.show(w);
    EXPECT_TRUE(world.eventually([&] { return ws.describeWindow(w).title == "not yet shown"; }));
    EXPECT_NE(ws.foregroundWindow(), w);
    EXPECT_EQ(ws.windowRect(w), world.frameOf(w));
}

TEST(KWin, OneSizewiseServesASession) {
    KWinWorld world;
    std::string error;
    EXPECT_EQ(kwin::KWinDesktop::connect(&error), nullptr);
    EXPECT_NE(error.find("another Sizewise"), std::string::npos) << error;
    // The first one still serves.
    const WindowId w = world.open("served");
    world.windows().placeWindow(w, Placement{30, 40, 300, 200});
    EXPECT_TRUE(world.eventually([&] {
        return world.windows().windowRect(w) == Rect{30, 40, 330, 240};
    }));
}

TEST(KWin, AScriptUnloadedBehindSizewisesBackIsReportedAsLost) {
    KWinWorld world;
    const WindowId w = world.open("still there");
    ASSERT_TRUE(world
                    .callScripting(QStringLiteral("/Scripting"),
                                   QStringLiteral("org.kde.kwin.Scripting"),
                                   QStringLiteral("unloadScript"), {QStringLiteral("sizewise")})
                    .toBool());
    // The held poll is answered with the next command; a live script would ask again at once.
    const auto start = Clock::now();
    world.windows().activateWindow(w);
    EXPECT_TRUE(
        world.eventuallyWithin(std::chrono::seconds(20), [&] { return !world.lostWhy.empty(); }));
    EXPECT_EQ(world.lostWhy, "Sizewise's script in KWin stopped answering");
    RecordProperty("lost_after_ms", static_cast<int>(millisecondsSince(start)));
}

// Only KWin runs the script: a report from another program on the session bus is refused and
// changes nothing.
TEST(KWin, AReportFromAnotherProgramIsRefused) {
    KWinWorld world;
    const WindowId w = world.open("the real one");
    world.windows().activateWindow(w);
    ASSERT_TRUE(world.eventually([&] { return world.windows().foregroundWindow() == w; }));
    QDBusConnection other =
        QDBusConnection::connectToBus(QDBusConnection::SessionBus, QStringLiteral("another"));
    QDBusMessage forged = QDBusMessage::createMethodCall(
        QStringLiteral("io.github.sizewise.Sizewise"), QStringLiteral("/Sizewise"),
        QStringLiteral("io.github.sizewise.KWin1"), QStringLiteral("Changed"));
    forged << QStringLiteral(R"({"active": ""})");
    // Asked without blocking: the one refusing is this process's own event loop.
    const QDBusPendingCall answer = other.asyncCall(forged);
    ASSERT_TRUE(world.eventually([&] { return answer.isFinished(); }));
    EXPECT_EQ(answer.error().name(), QStringLiteral("org.freedesktop.DBus.Error.AccessDenied"));
    world.settle();
    EXPECT_EQ(world.windows().foregroundWindow(), w);
    QDBusConnection::disconnectFromBus(QStringLiteral("another"));
}

}  // namespace
}  // namespace sw::test
