// The Windows backend against real windows: windows of this process on their
// own threads, and a window of a second process.
#include <gtest/gtest.h>

#include <string>

#include "platform/text.h"
#include "platform/win32/win32desktop.h"
#include "tests/win32/testwindows.h"

namespace sw::win32 {
namespace {

using test::ClientWindow;
using test::TestWindow;
using test::rectOf;
using test::waitUntil;

class WindowsTest : public testing::Test {
protected:
    testing::AssertionResult becomesForeground(WindowId window) {
        if (waitUntil([&] { return desktop.foregroundWindow() == window; })) {
            return testing::AssertionSuccess();
        }
        return testing::AssertionFailure()
               << "the foreground is \"" << desktop.describeWindow(desktop.foregroundWindow()).title
               << "\"";
    }
    bool readsRect(WindowId window, const Rect& expected) {
        return waitUntil([&] { return desktop.windowRect(window) == expected; });
    }
    bool readsState(WindowId window, int state) {
        return waitUntil([&] { return desktop.describeWindow(window).showState == state; });
    }
    // Also waits for the window manager to have followed the change.
    bool settlesInState(WindowId window, int state) {
        return test::waitUntilSteady([&] { return desktop.describeWindow(window).showState == state; });
    }

    Win32Desktop desktop;
};

TEST_F(WindowsTest, TheActivatedWindowIsTheForegroundWindow) {
    TestWindow a(L"first");
    TestWindow b(L"second");
    desktop.activateWindow(a.id());
    EXPECT_TRUE(becomesForeground(a.id()));
    desktop.activateWindow(b.id());
    EXPECT_TRUE(becomesForeground(b.id()));
}

TEST_F(WindowsTest, TitlesInCjkAndEmojiReadAsUtf8) {
    TestWindow window(L"\u5BF8\u6CD5 \u30A6\u30A3\u30F3\u30C9\u30A6 \U0001F600 caf\u00E9");
    EXPECT_EQ(desktop.describeWindow(window.id()).title,
              "\xE5\xAF\xB8\xE6\xB3\x95 \xE3\x82\xA6\xE3\x82\xA3\xE3\x83\xB3\xE3\x83\x89\xE3\x82\xA6 "
              "\xF0\x9F\x98\x80 caf\xC3\xA9");
}

TEST_F(WindowsTest, LongTitlesAreCutAt254CharactersWithSurrogatePairsWhole) {
    // After the "a" every pair starts at an odd unit, so a cut by units would split one.
    std::wstring title = L"a";
    for (int i = 0; i < 300; ++i) title += L"\U0001F600";
    TestWindow window(title);
    std::string expected = "a";
    for (int i = 0; i < 253; ++i) expected += "\xF0\x9F\x98\x80";
    const std::string read = desktop.describeWindow(window.id()).title;
    EXPECT_EQ(characterCount(read), 254U);
    EXPECT_EQ(read, expected);
}

TEST_F(WindowsTest, AnUntitledWindowReadsAnEmptyTitle) {
    TestWindow window(L"");
    const WindowInfo info = desktop.describeWindow(window.id());
    EXPECT_EQ(info.title, "");
    EXPECT_EQ(info.showState, kShowStateNormal);
}

TEST_F(WindowsTest, PlacementGivesTheExactOuterRectangleAndActivates) {
    TestWindow other(L"other");
    TestWindow window(L"placed");
    desktop.activateWindow(other.id());
    ASSERT_TRUE(becomesForeground(other.id()));
    desktop.placeWindow(window.id(), 130, 140, 420, 310);
    const Rect expected{130, 140, 550, 450};
    EXPECT_TRUE(readsRect(window.id(), expected)) << desktop.windowRect(window.id()).left;
    EXPECT_EQ(rectOf(window.hwnd()), expected);
    EXPECT_EQ(desktop.describeWindow(window.id()).rect, expected);
    EXPECT_TRUE(becomesForeground(window.id()));
}

TEST_F(WindowsTest, AMaximisedWindowIsRestoredBeforeItIsPlaced) {
    TestWindow window(L"maximised");
    desktop.showWindow(window.id(), ShowCommand::ShowMaximised);
    ASSERT_TRUE(settlesInState(window.id(), kShowStateMaximised));
    EXPECT_GT(desktop.windowRect(window.id()).width(), 1000);
    desktop.placeWindow(window.id(), 60, 70, 300, 200);
    EXPECT_TRUE(readsState(window.id(), kShowStateNormal));
    EXPECT_TRUE(readsRect(window.id(), Rect{60, 70, 360, 270}));
}

TEST_F(WindowsTest, AMinimisedWindowReadsAtMinus32000AndRestoresToItsPlace) {
    TestWindow window(L"minimised");
    desktop.placeWindow(window.id(), 200, 150, 320, 240);
    const Rect placed{200, 150, 520, 390};
    ASSERT_TRUE(test::waitUntilSteady([&] { return desktop.windowRect(window.id()) == placed; }));
    desktop.showWindow(window.id(), ShowCommand::Minimise);
    ASSERT_TRUE(settlesInState(window.id(), kShowStateMinimised));
    const Rect minimised = desktop.describeWindow(window.id()).rect;
    EXPECT_EQ(minimised.left, kMinimisedPosition);
    EXPECT_EQ(minimised.top, kMinimisedPosition);
    desktop.showWindow(window.id(), ShowCommand::ShowNormal);
    EXPECT_TRUE(readsState(window.id(), kShowStateNormal));
    EXPECT_TRUE(readsRect(window.id(), placed));
}

TEST_F(WindowsTest, AWindowOfAnotherProcessIsReadPlacedAndActivated) {
    ClientWindow client(L"\u53E6\u4E00\u4E2A\u8FDB\u7A0B \u2013 \u0414\u0440\u0443\u0433\u043E\u0439");
    ASSERT_NE(client.hwnd(), nullptr);
    ASSERT_NE(client.processId(), GetCurrentProcessId());
    const WindowInfo info = desktop.describeWindow(client.id());
    EXPECT_EQ(info.title, "\xE5\x8F\xA6\xE4\xB8\x80\xE4\xB8\xAA\xE8\xBF\x9B\xE7\xA8\x8B \xE2\x80\x93 "
                          "\xD0\x94\xD1\x80\xD1\x83\xD0\xB3\xD0\xBE\xD0\xB9");
    EXPECT_EQ(info.rect, rectOf(client.hwnd()));
    desktop.placeWindow(client.id(), 250, 260, 333, 222);
    EXPECT_TRUE(readsRect(client.id(), Rect{250, 260, 583, 482}));
    EXPECT_TRUE(becomesForeground(client.id()));
}

TEST_F(WindowsTest, AWindowThatVanishedReadsEmptyAndIgnoresCommands) {
    TestWindow window(L"short-lived");
    const WindowId id = window.id();
    ASSERT_EQ(desktop.describeWindow(id).title, "short-lived");
    window.destroy();
    EXPECT_EQ(desktop.describeWindow(id), WindowInfo{});
    EXPECT_EQ(desktop.windowRect(id), Rect{});
    desktop.placeWindow(id, 10, 10, 100, 100);
    desktop.showWindow(id, ShowCommand::ShowMaximised);
    desktop.setTopmost(id, true);
    desktop.activateWindow(id);
    EXPECT_NE(desktop.foregroundWindow(), id);
    EXPECT_EQ(desktop.describeWindow(0), WindowInfo{});
}

TEST_F(WindowsTest, SendingTheForegroundToTheBackActivatesTheNextWindow) {
    TestWindow below(L"below");
    TestWindow top(L"top");
    desktop.activateWindow(below.id());
    ASSERT_TRUE(becomesForeground(below.id()));
    desktop.activateWindow(top.id());
    ASSERT_TRUE(becomesForeground(top.id()));
    desktop.sendForegroundToBack();
    EXPECT_EQ(desktop.foregroundWindow(), below.id());
    // The pushed window now comes after the other in the z-order.
    bool topIsBelow = false;
    for (HWND w = GetWindow(below.hwnd(), GW_HWNDNEXT); w != nullptr; w = GetWindow(w, GW_HWNDNEXT)) {
        topIsBelow = topIsBelow || w == top.hwnd();
    }
    EXPECT_TRUE(topIsBelow);
}

TEST_F(WindowsTest, AToolWindowTakesTheToolStyleWithoutMovingOrActivating) {
    TestWindow tool(L"ruler");
    TestWindow other(L"active");
    desktop.activateWindow(other.id());
    ASSERT_TRUE(becomesForeground(other.id()));
    const Rect before = desktop.windowRect(tool.id());
    desktop.markToolWindow(tool.id());
    EXPECT_NE(GetWindowLongPtrW(tool.hwnd(), GWL_EXSTYLE) & WS_EX_TOOLWINDOW, 0);
    EXPECT_EQ(GetWindowLongPtrW(tool.hwnd(), GWL_EXSTYLE) & WS_EX_APPWINDOW, 0);
    EXPECT_EQ(desktop.windowRect(tool.id()), before);
    EXPECT_EQ(desktop.foregroundWindow(), other.id());
}

TEST_F(WindowsTest, TopmostNeitherMovesNorActivates) {
    TestWindow window(L"kept on top");
    TestWindow other(L"active");
    desktop.activateWindow(other.id());
    ASSERT_TRUE(becomesForeground(other.id()));
    const Rect before = desktop.windowRect(window.id());
    desktop.setTopmost(window.id(), true);
    EXPECT_NE(GetWindowLongPtrW(window.hwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
    EXPECT_EQ(desktop.foregroundWindow(), other.id());
    EXPECT_EQ(desktop.windowRect(window.id()), before);
    desktop.setTopmost(window.id(), false);
    EXPECT_EQ(GetWindowLongPtrW(window.hwnd(), GWL_EXSTYLE) & WS_EX_TOPMOST, 0);
    EXPECT_EQ(desktop.foregroundWindow(), other.id());
}

}  // namespace
}  // namespace sw::win32
