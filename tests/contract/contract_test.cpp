// What every backend promises, written once and run against the fake desktop, X11 and Win32;
// placements land when the window manager gets to them, so each check waits for its condition.
#include <gtest/gtest.h>

#include <algorithm>

#include "text.h"
#include "world.h"

namespace sw {

void PrintTo(const Rect& r, std::ostream* out) {
    *out << "(" << r.left << ", " << r.top << ") - (" << r.right << ", " << r.bottom << ")";
}

void PrintTo(const ScreenMetrics& m, std::ostream* out) {
    PrintTo(m.bounds, out);
    *out << " at " << m.dpiX << " x " << m.dpiY << " DPI, monitors";
    for (const Rect& r : m.monitors) PrintTo(r, &(*out << " "));
}

namespace test {
namespace {

class Contract : public ::testing::Test {
protected:
    bool reads(WindowId window, WindowState state, const Rect& rect) {
        return world->eventually([&] {
            const WindowInfo info = ws.describeWindow(window);
            return info.state == state && info.rect == rect && ws.windowRect(window) == rect;
        });
    }

    std::unique_ptr<World> world = openWorld();
    WindowSystem& ws = world->windows();
};

// Skips the case, saying why, on a desktop that lacks what it needs.
#define SKIP_WITHOUT(need) \
    if (const std::string why = world->lacks(need); !why.empty()) GTEST_SKIP() << why

TEST_F(Contract, TheScreenIsItsMonitorsAndTheirBoundingBox) {
    const ScreenMetrics m = world->screen().metrics();
    EXPECT_EQ(m, world->expectedScreen());
    ASSERT_FALSE(m.monitors.empty());
    Rect box = m.monitors.front();
    for (const Rect& r : m.monitors) {
        box = Rect{std::min(box.left, r.left), std::min(box.top, r.top),
                   std::max(box.right, r.right), std::max(box.bottom, r.bottom)};
    }
    EXPECT_EQ(m.bounds, box);
}

TEST_F(Contract, TheActivatedWindowIsTheForegroundAndReadsAsSeenOnTheScreen) {
    const WindowId a = world->open("first \xE5\xAF\xB8\xE6\xB3\x95 \xF0\x9F\x98\x80 caf\xC3\xA9");
    const WindowId b = world->open("second");
    for (const WindowId w : {a, b, a}) {
        ws.activateWindow(w);
        EXPECT_TRUE(world->eventually([&] { return ws.foregroundWindow() == w; })) << w;
    }
    const WindowInfo info = ws.describeWindow(a);
    EXPECT_EQ(info.title, "first \xE5\xAF\xB8\xE6\xB3\x95 \xF0\x9F\x98\x80 caf\xC3\xA9");
    EXPECT_EQ(info.rect, world->frameOf(a));
}

TEST_F(Contract, TitlesAreCutAt254CharactersNeverInsideOne) {
    std::string title = "a";
    for (int i = 0; i < 300; ++i) title += "\xF0\x9F\x98\x80";
    const std::string read = ws.describeWindow(world->open(title)).title;
    EXPECT_EQ(characterCount(read), 254u);
    EXPECT_EQ(read, cutToCharacters(title, 254));
    EXPECT_EQ(ws.describeWindow(world->open("")).title, "");
}

TEST_F(Contract, APlacementLandsExactlyAndActivates) {
    const WindowId other = world->open("other");
    const WindowId w = world->open("placed");
    ws.activateWindow(other);
    for (const Placement& p :
         {Placement{61, 47, 333, 222}, Placement{200, 150, 401, 299}, Placement{0, 0, 640, 480}}) {
        ws.placeWindow(w, p);
        const Rect want{p.left, p.top, p.left + p.width, p.top + p.height};
        EXPECT_TRUE(world->eventually([&] { return world->frameOf(w) == want; })) << p.left;
        EXPECT_TRUE(reads(w, WindowState::Normal, want));
        EXPECT_TRUE(world->eventually([&] { return ws.foregroundWindow() == w; }));
    }
}

TEST_F(Contract, ShowCommandsChangeTheStateAndAMaximisedWindowIsRestoredToBePlaced) {
    const WindowId w = world->open("states");
    ws.placeWindow(w, Placement{100, 90, 420, 310});
    const Rect normal{100, 90, 520, 400};
    ASSERT_TRUE(reads(w, WindowState::Normal, normal));
    ws.showWindow(w, ShowCommand::Minimise);
    // A minimised window reads the frame it gets back.
    EXPECT_TRUE(reads(w, WindowState::Minimised, normal));
    ws.showWindow(w, ShowCommand::Restore);
    EXPECT_TRUE(reads(w, WindowState::Normal, normal));
    ws.showWindow(w, ShowCommand::Maximise);
    EXPECT_TRUE(
        world->eventually([&] { return ws.describeWindow(w).state == WindowState::Maximised; }));
    EXPECT_TRUE(world->eventually([&] { return world->frameOf(w) == ws.describeWindow(w).rect; }));
    ws.placeWindow(w, Placement{150, 120, 300, 200});
    EXPECT_TRUE(reads(w, WindowState::Normal, Rect{150, 120, 450, 320}));
    EXPECT_TRUE(world->eventually([&] { return world->frameOf(w) == Rect{150, 120, 450, 320}; }));
}

TEST_F(Contract, TopmostIsTheWindowSystemsOwn) {
    const WindowId w = world->open("layers");
    ws.setTopmost(w, true);
    EXPECT_TRUE(world->eventually([&] { return world->isAbove(w); }));
    ws.setTopmost(w, false);
    EXPECT_TRUE(world->eventually([&] { return !world->isAbove(w); }));
}

TEST_F(Contract, ToolWindowsAreTheWindowSystemsOwn) {
    SKIP_WITHOUT(Need::ToolWindows);
    const WindowId w = world->open("a tool");
    ws.markToolWindow(w);
    EXPECT_TRUE(world->eventually([&] { return world->isToolWindow(w); }));
}

TEST_F(Contract, PressesBetweenTwoReadsAreReportedOnce) {
    SKIP_WITHOUT(Need::ButtonAndShiftStates);
    // Over a window: a click on the bare desktop may open a window manager's menu.
    world->open("under the pointer");
    PointerInput& pointer = world->pointer();
    int told = 0;
    pointer.setInputHandler([&] { ++told; });
    pointer.readPointer();
    world->click(Point{300, 200}, 1);
    EXPECT_TRUE(world->eventually([&] { return told > 0; }));
    PointerSnapshot s;
    EXPECT_TRUE(world->eventually([&] { return (s = pointer.readPointer()).keys.left; }));
    EXPECT_EQ(s.position, (Point{300, 200}));
    EXPECT_EQ(pointer.cursorPos(), (Point{300, 200}));
    EXPECT_FALSE(pointer.readPointer().keys.left);
    world->click(Point{310, 220}, 3);
    EXPECT_TRUE(world->eventually([&] { return (s = pointer.readPointer()).keys.right; }));
    EXPECT_FALSE(s.keys.left);
    EXPECT_EQ(s.position, (Point{310, 220}));
    world->tapShift();
    EXPECT_TRUE(world->eventually([&] { return pointer.readPointer().keys.shift; }));
    EXPECT_FALSE(pointer.readPointer().keys.shift);
    pointer.setInputHandler(nullptr);
}

TEST_F(Contract, ClicksTakenByTheProgramReachNoWindowAndAreStillReported) {
    SKIP_WITHOUT(Need::ClickCapture);
    const WindowId w = world->open("counting clicks");
    PointerInput& pointer = world->pointer();
    pointer.readPointer();
    pointer.setClickCapture(ClickCapture::ShiftLeft);
    world->click(Point{300, 200}, 1);  // a plain click is still the window's
    EXPECT_TRUE(world->eventually([&] { return world->pressesOn(w) == 1; }));
    pointer.readPointer();
    world->click(Point{300, 200}, 1, true);
    PointerSnapshot s;
    EXPECT_TRUE(world->eventually([&] { return (s = pointer.readPointer()).keys.left; }));
    EXPECT_TRUE(s.keys.shift);
    pointer.setClickCapture(ClickCapture::All);
    world->click(Point{310, 210}, 1);
    EXPECT_TRUE(world->eventually([&] { return pointer.readPointer().keys.left; }));
    world->click(Point{310, 210}, 3);
    EXPECT_TRUE(world->eventually([&] { return pointer.readPointer().keys.right; }));
    pointer.setClickCapture(ClickCapture::Off);
    world->click(Point{300, 200}, 1);
    EXPECT_TRUE(world->eventually([&] { return world->pressesOn(w) >= 2; }));
    world->settle();
    EXPECT_EQ(world->pressesOn(w), 2);  // the taken three never came
}

TEST_F(Contract, AVanishedWindowReadsAsGoneAndCommandsOnItAreHarmless) {
    const WindowId w = world->open("vanishing");
    world->close(w);
    EXPECT_TRUE(world->eventually([&] { return ws.describeWindow(w) == WindowInfo{}; }));
    EXPECT_EQ(ws.windowRect(w), Rect{});
    ws.placeWindow(w, Placement{1, 2, 3, 4});
    ws.showWindow(w, ShowCommand::Maximise);
    ws.setTopmost(w, true);
    ws.markToolWindow(w);
    ws.activateWindow(w);
    EXPECT_EQ(ws.describeWindow(0), WindowInfo{});
    const WindowId alive = world->open("still here");
    EXPECT_EQ(ws.describeWindow(alive).title, "still here");
}

TEST_F(Contract, TheForegroundAndTheWindowsReadTellOfTheirChanges) {
    int told = 0;
    ws.setChangeHandler([&] { ++told; });
    const WindowId watched = world->open("watched");
    world->open("other");
    ws.foregroundWindow();
    ws.describeWindow(watched);
    const std::pair<const char*, std::function<void()>> changes[] = {
        {"activated", [&] { ws.activateWindow(watched); }},
        {"moved",
         [&] {
             world->moveAsItsProgram(watched, Point{200, 150});
         }},
        {"renamed", [&] { world->rename(watched, "renamed"); }},
        {"closed", [&] { world->close(watched); }}};
    for (const auto& [what, change] : changes) {
        world->settle();
        told = 0;
        change();
        EXPECT_TRUE(world->eventually([&] { return told > 0; })) << what;
    }
    ws.setChangeHandler(nullptr);
}

TEST_F(Contract, PushingTheForegroundBackActivatesTheNextWindow) {
    world->open("bottom");
    const WindowId below = world->open("below");
    const WindowId top = world->open("top");
    ws.activateWindow(top);
    ASSERT_TRUE(world->eventually([&] { return ws.foregroundWindow() == top; }));
    ws.sendForegroundToBack();
    EXPECT_TRUE(world->eventually([&] { return ws.foregroundWindow() == below; }));
}

TEST_F(Contract, AShortcutTakenFiresWhereverTheKeyboardIsAndOneHeldElsewhereIsRefused) {
    SKIP_WITHOUT(Need::GlobalShortcuts);
    const Shortcut mine{'A', true, true, true, false};  // the first letter: the mapping's edge
    const Shortcut theirs{Shortcut::kFunctionKey + 9, true, true, false, false};
    world->holdElsewhere(theirs);
    std::vector<std::size_t> pressed;
    const auto record = [&](std::size_t index) { pressed.push_back(index); };
    const Shortcut none{Shortcut::kFunctionKey + 40, true};  // beyond F24: no shortcut
    const auto refusals = world->keys().takeShortcuts({mine, theirs, none}, record);
    ASSERT_EQ(refusals.size(), 3u);
    EXPECT_EQ(refusals[0], "");
    EXPECT_NE(refusals[1], "");
    EXPECT_NE(refusals[2], "");
    world->open("typing here");  // another program's window has the keyboard
    world->press(mine);
    EXPECT_TRUE(world->eventually([&] { return pressed.size() == 1; }));
    world->press(theirs);
    world->keys().takeShortcuts({}, record);  // given back
    world->press(mine);
    world->settle();
    EXPECT_EQ(pressed, std::vector<std::size_t>{0});
}

}  // namespace
}  // namespace test
}  // namespace sw
