// What is the X11 backend's own: title encodings, what it reads and when, the pointer, Xft.dpi,
// maximised placement, client-drawn decorations, no window manager, a lost display, and the
// monitors of a real X server with the dummy driver.
#include <gtest/gtest.h>
#include <signal.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>

#include <QCoreApplication>

#include "backend.h"
#include "target.h"
#include "text.h"
#include "x11desktop.h"
#include "x11world.h"

// Last: Xlib's macros (Bool, Status) clash with names in Qt's headers.
#include <X11/Xlib.h>
#include <X11/Xutil.h>

namespace sw::test {
namespace {

// Compound text as Xlib makes it, with ISO 2022 switches for the CJK parts.
std::string compoundText(const std::string& utf8) {
    Display* dpy = XOpenDisplay(nullptr);
    char* list[] = {const_cast<char*>(utf8.c_str())};
    XTextProperty prop{};
    Xutf8TextListToTextProperty(dpy, list, 1, XCompoundTextStyle, &prop);
    std::string bytes(reinterpret_cast<char*>(prop.value), prop.nitems);
    XFree(prop.value);
    XCloseDisplay(dpy);
    return bytes;
}

// A line another program printed; a signal that interrupts the read is no end.
std::string readLine(FILE* from) {
    char line[512] = {};
    while (std::fgets(line, sizeof line, from) == nullptr && errno == EINTR) clearerr(from);
    return line;
}

TEST(X11, TitlesInEveryEncoding) {
    X11World world;
    const WindowId w = world.open("plain");
    const auto title = [&](const char* type, const std::string& bytes) {
        world.setText(w, "WM_NAME", type, bytes);
        return world.desk->describeWindow(w).title;
    };
    world.setText(w, "_NET_WM_NAME", "UTF8_STRING", "");  // missing or empty: WM_NAME counts
    EXPECT_EQ(title("STRING", "Caf\xE9 cr\xE8me"), "Caf\xC3\xA9 cr\xC3\xA8me");
    const std::string cjk = "xterm \xE6\xA0\x87\xE9\xA2\x98 \xC3\x9Cn\xC3\xAF";
    EXPECT_EQ(title("COMPOUND_TEXT", compoundText(cjk)), cjk);
    // UTF-8 under the wrong label, characters at every edge of its byte ranges too.
    const std::string edges =
        "\xC2\xA9\xDF\xBF\xE0\xA0\x80\xED\x9F\xBF\xEF\xBF\xBD\xF0\x9F\x98\x80\xF4\x8F\xBF\xBF";
    EXPECT_EQ(title("COMPOUND_TEXT", edges), edges);
    EXPECT_EQ(title("STRING", std::string("left\0right", 10)), "left");
    EXPECT_EQ(title("TEXT", "\xE9t\xE9"), "\xC3\xA9t\xC3\xA9");  // not UTF-8: read as Latin-1
    // Longer than one read: the character the read ends inside does not make it Latin-1.
    std::string longTitle = "a";
    for (int i = 0; i < 600; ++i) longTitle += "\xC3\xA9";
    EXPECT_EQ(title("TEXT", longTitle), cutToCharacters(longTitle, 254));
    std::string emoji = "a";  // the read ends after three bytes of a four-byte character
    for (int i = 0; i < 300; ++i) emoji += "\xF0\x9F\x98\x80";
    EXPECT_EQ(title("TEXT", emoji), cutToCharacters(emoji, 254));
    world.setText(w, "_NET_WM_NAME", "UTF8_STRING", "a\xB8");  // labelled UTF-8 but not: replaced
    EXPECT_EQ(world.desk->describeWindow(w).title, "a\xEF\xBF\xBD");
}

TEST(X11, WhatIsReadAheadForOneTargetIsNotMixedIntoAnothers) {
    X11World world;
    auto& d = *world.desk;
    const WindowId a = world.open("a");
    const WindowId b = world.open("b");
    // b first, so that a window manager's own activation of b as it opens is over before a's.
    for (const WindowId w : {b, a}) {
        d.activateWindow(w);
        ASSERT_TRUE(world.eventually([&] { return d.foregroundWindow() == w; }));
    }
    d.describeWindow(a);
    // The next reading of the foreground reads a ahead, which b's reading must not take.
    ASSERT_EQ(d.foregroundWindow(), a);
    EXPECT_EQ(d.describeWindow(b).title, "b");
    EXPECT_EQ(d.describeWindow(a).rect, world.frameOf(a));
}

TEST(X11, ThePointerIsToldOfInputAndOnlyLookedAtForWarps) {
    X11World world;
    auto& d = *world.desk;
    world.open("pointer");
    int told = 0;
    d.setInputHandler([&] { ++told; });
    ASSERT_TRUE(runOnDisplay("xdotool mousemove 300 310"));  // another program's warp: no event
    EXPECT_TRUE(world.eventually([&] { return told > 0; }));
    EXPECT_EQ(d.readPointer().position, (Point{300, 310}));
    ASSERT_TRUE(runOnDisplay("xdotool mousemove_relative 7 3 mousedown 1"));
    EXPECT_TRUE(world.eventually([&] { return d.readPointer().keys.left; }));
    EXPECT_EQ(d.readPointer(),
              (PointerSnapshot{Point{307, 313}, KeyStates{true, false, false}}));  // held
    ASSERT_TRUE(runOnDisplay("xdotool mouseup 1"));
    EXPECT_TRUE(world.eventually([&] { return !d.readPointer().keys.left; }));
    d.setInputHandler(nullptr);
}

TEST(Events, EachChangeOrBurstIsReadPromptly) {
    X11World world;
    auto& d = *world.desk;
    Target target(d, steadyClock());
    int reads = 0;
    TargetReading last;
    QObject::connect(&target, &Target::changed, [&](const TargetReading& r) {
        ++reads;
        last = r;
    });
    world.open("a");
    target.start();
    const WindowId b = world.open("b");  // activated as it opens
    EXPECT_TRUE(world.eventually([&] { return last.foreground == b && last.info.title == "b"; }));
    // What no reading shows (another property of the target, the pointer's moves) is not read.
    world.settle();
    reads = 0;
    world.setText(b, "WM_ICON_NAME", "STRING", "icon");
    ASSERT_TRUE(runOnDisplay("xdotool mousemove_relative 5 5"));
    for (int i = 0; i < 10; ++i) QCoreApplication::processEvents();
    EXPECT_EQ(reads, 0);
    world.setText(b, "_NET_WM_NAME", "UTF8_STRING", "renamed");  // the EWMH title alone
    EXPECT_TRUE(world.eventually([&] { return last.info.title == "renamed"; }));
    // Another program drags it: reads follow at most one a turn, and the last place is shown.
    world.settle();
    reads = 0;
    const auto began = std::chrono::steady_clock::now();
    for (int x = 100; x < 300; x += 2) world.moveAsItsProgram(b, Point{x, 120});
    EXPECT_TRUE(
        world.eventually([&] { return last.frame == world.frameOf(b) && last.frame.left > 250; }));
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - began);
    EXPECT_LE(reads, ms.count() / 10 + 2);
    world.close(b);
    EXPECT_TRUE(world.eventually(
        [&] { return target.window() != b || last.info.state == WindowState::Gone; }));
}

TEST(X11, TheResolutionIsXftDpi) {
    X11World world;
    world.setText(world.root, "RESOURCE_MANAGER", "STRING", "Xft.antialias:\t1\nXft.dpi:\t120\n");
    EXPECT_EQ(world.desk->metrics(),
              (ScreenMetrics{Rect{0, 0, 1024, 768}, 120, 120, {Rect{0, 0, 1024, 768}}}));
    world.setText(world.root, "RESOURCE_MANAGER", "STRING", "Xft.dpi:\tlots\n");
    EXPECT_EQ(world.desk->metrics().dpiX, 96);
}

TEST(X11, APlacementReplacedWhileAWindowIsRestoredNeverLandsLater) {
    X11World world;
    auto& d = *world.desk;
    const WindowId w = world.open("maximised");
    d.showWindow(w, ShowCommand::Maximise);
    ASSERT_TRUE(
        world.eventually([&] { return d.describeWindow(w).state == WindowState::Maximised; }));
    d.placeWindow(w, Placement{50, 60, 300, 200});
    d.placeWindow(w, Placement{70, 80, 350, 250});
    const Rect want{70, 80, 420, 330};
    EXPECT_TRUE(world.eventually([&] { return world.frameOf(w) == want; }));
    EXPECT_EQ(d.describeWindow(w).state, WindowState::Normal);
}

TEST(Decorations, WhatIsSeenIsReadAndPlacedForFramedAndClientDrawnWindows) {
    X11World world;
    // Its own process id first: other tests may run the same client beside this one.
    FILE* gtk = popen("echo $$; exec /usr/bin/python3 " SIZEWISE_X11_TEST_DIR
                      "/headerbar_client.py 'header bar' 2>&1",
                      "r");
    const int pid = std::atoi(readLine(gtk).c_str());
    const std::string line = readLine(gtk);
    const auto client = static_cast<WindowId>(std::strtoul(line.c_str(), nullptr, 10));
    ASSERT_NE(client, 0u) << line;
    ASSERT_TRUE(
        world.eventually([&] { return world.words(client, "_GTK_FRAME_EXTENTS").size() == 4; }));
    for (const WindowId w : {client, world.open("framed")}) {
        ASSERT_TRUE(world.eventually(
            [&] { return world.desk->describeWindow(w).rect == world.visible(w); }));
        const Rect want{90, 70, 90 + 500, 70 + 380};
        world.desk->placeWindow(w, Placement{90, 70, 500, 380});
        EXPECT_TRUE(world.eventually([&] { return world.visible(w) == want; })) << w;
        EXPECT_TRUE(world.eventually([&] { return world.desk->describeWindow(w).rect == want; }));
    }
    EXPECT_LT(world.visible(client).width(),
              world.frameOf(client).width());  // the shadow is no part of it
    // Maximised, a client-drawn window has no shadow; a placement waits until the window manager
    // has restored it and the shadow is back, and then lands where it was asked to.
    world.desk->showWindow(client, ShowCommand::Maximise);
    ASSERT_TRUE(world.eventually(
        [&] { return world.desk->describeWindow(client).state == WindowState::Maximised; }));
    world.desk->placeWindow(client, Placement{60, 50, 480, 360});
    EXPECT_TRUE(world.eventually([&] { return world.visible(client) == Rect{60, 50, 540, 410}; }));
    kill(pid, SIGTERM);
    pclose(gtk);
}

TEST(NoWindowManager, TheFocusIsTheForegroundAndPlacementsConfigureTheClient) {
    X11World world;
    auto& d = *world.desk;
    EXPECT_EQ(d.warnings().size(), 1u);
    EXPECT_NE(d.warnings()[0].find("no EWMH window manager"), std::string::npos);
    const WindowId a = world.open("a");
    const WindowId b = world.open("b");
    for (const WindowId w : {a, b}) {
        d.activateWindow(w);
        EXPECT_TRUE(world.eventually([&] { return d.foregroundWindow() == w; }));
    }
    world.setBorder(a, 3);  // inside the outer rectangle, as the frame is
    d.placeWindow(a, Placement{10, 20, 200, 100});
    EXPECT_TRUE(world.eventually([&] { return world.frameOf(a) == Rect{10, 20, 210, 120}; }));
    EXPECT_EQ(d.describeWindow(a), (WindowInfo{"a", WindowState::Normal, Rect{10, 20, 210, 120}}));
    d.sendForegroundToBack();
    EXPECT_EQ(d.foregroundWindow(), b);
    // Minimised and restored by unmapping and mapping the client itself.
    d.showWindow(a, ShowCommand::Minimise);
    EXPECT_TRUE(world.eventually([&] { return !world.managed(a); }));
    d.showWindow(a, ShowCommand::Restore);
    EXPECT_TRUE(world.eventually([&] { return world.managed(a) && d.foregroundWindow() == a; }));
    // Nothing announces the focus: the desktop is looked at. A window manager that comes brings
    // events back, on its frames too; once it is killed, the looks return.
    int told = 0;
    d.setChangeHandler([&] {
        ++told;
        d.foregroundWindow();
        d.describeWindow(a);
    });
    const auto looked = [&] {
        told = 0;
        return world.eventually([&] { return told >= 2; });
    };
    EXPECT_TRUE(looked());
    FILE* openbox = popen("openbox --sm-disable >/dev/null 2>&1 & echo $!", "r");
    const int pid = std::atoi(readLine(openbox).c_str());
    ASSERT_TRUE(world.eventually([&] { return !world.words(b, "WM_STATE").empty(); }));
    d.activateWindow(b);
    EXPECT_TRUE(world.eventually([&] { return d.foregroundWindow() == b; }));
    world.settle();
    told = 0;
    world.moveAsItsProgram(a, Point{40, 50});
    EXPECT_TRUE(world.eventually([&] { return told > 0; }));
    kill(pid, SIGKILL);
    EXPECT_TRUE(world.eventually([&] { return d.foregroundWindow() != b; }));
    EXPECT_TRUE(looked());
    d.setChangeHandler(nullptr);
    pclose(openbox);
}

TEST(Monitors, ListedPrimaryFirstAndEachChangeReported) {
    // On the dummy X server of scripts/desktop.py --two-monitors: 0,256 and 1280,0.
    X11World world;
    const Rect first{0, 256, 1280, 1280}, second{1280, 0, 2304, 768}, third{1280, 768, 2304, 1536};
    EXPECT_EQ(world.desk->metrics().monitors, (std::vector<Rect>{first, second}));
    EXPECT_EQ(world.desk->metrics().bounds, (Rect{0, 0, 2304, 1280}));
    int told = 0;
    world.desk->setMonitorsHandler([&] { ++told; });
    const auto change = [&](const std::string& args,
                            const std::function<bool(const std::vector<Rect>&)>& then) {
        told = 0;
        ASSERT_EQ(std::system(("xrandr " + args).c_str()), 0);
        EXPECT_TRUE(world.eventually([&] {
            return told > 0 && then(world.desk->metrics().monitors);
        })) << args;
    };
    change("--output DUMMY1 --primary", [&](auto m) {
        return m == std::vector<Rect>{second, first};
    });
    change(
        "--addmode DUMMY2 1024x768_60 && xrandr --fb 2304x1536 --output DUMMY2 --mode 1024x768_60 "
        "--pos 1280x768",
        [&](auto m) {
            return m == std::vector<Rect>{second, first, third};
        });
    // The server may move the others when one goes: only the count and the new primary are sure.
    change("--output DUMMY1 --off --output DUMMY0 --primary",
           [&](auto m) { return m.size() == 2 && m[0].width() == 1280 && m[0].height() == 1024; });
    world.desk->setMonitorsHandler(nullptr);
}

TEST(Connection, TheStartChecksNameWhatIsMissing) {
    const std::string display = std::getenv("DISPLAY");
    std::vector<std::string> notes;
    std::string error;
    ::setenv("XDG_SESSION_TYPE", "wayland", 1);
    ::unsetenv("QT_QPA_PLATFORM");
    EXPECT_TRUE(platformStartChecks(notes, error));
    EXPECT_STREQ(std::getenv("QT_QPA_PLATFORM"), "xcb");
    // A compositor that is neither KWin nor GNOME Shell: Sizewise works on Xwayland and says what
    // it sees there.
    const auto onXwayland = createBackend(error);
    ASSERT_TRUE(onXwayland) << error;
    ASSERT_FALSE(onXwayland->warnings().empty());
    EXPECT_NE(onXwayland->warnings()[0].find("only X11 (XWayland) windows"), std::string::npos);
    EXPECT_FALSE(onXwayland->offer());
    ::unsetenv("XDG_SESSION_TYPE");
    ::unsetenv("DISPLAY");
    EXPECT_FALSE(platformStartChecks(notes, error));
    EXPECT_NE(error.find("DISPLAY"), std::string::npos);
    ::setenv("DISPLAY", display.c_str(), 1);
    // One instance per display: a display's screens are one display.
    const auto backend = createBackend(error);
    ASSERT_TRUE(backend) << error;
    for (const auto& [name, identity] : {std::pair{":7.1", "x11 :7"},
                                         {"host.example.org:10.0", "x11 host.example.org:10"},
                                         {":3", "x11 :3"}}) {
        ::setenv("DISPLAY", name, 1);
        EXPECT_EQ(backend->displayIdentity(), identity);
    }
    ::setenv("DISPLAY", display.c_str(), 1);
}

TEST(Connection, ALostDisplayIsReportedOnceFromTheEventLoopAndAnUnreachableOneNamed) {
    std::string error;
    EXPECT_FALSE(x11::X11Desktop::connect(":9999", &error));
    EXPECT_NE(error.find(":9999"), std::string::npos);
    FILE* server =
        popen("Xvfb -displayfd 1 -nolisten tcp -screen 0 640x480x24 2>/dev/null & echo $!", "r");
    const int pid = std::atoi(readLine(server).c_str());
    const int number = std::atoi(readLine(server).c_str());
    ASSERT_GT(pid, 0);
    auto d = x11::X11Desktop::connect((":" + std::to_string(number)).c_str(), &error);
    ASSERT_TRUE(d) << error;
    int calls = 0;
    d->setConnectionLostHandler([&] { ++calls; });
    kill(pid, SIGKILL);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (calls == 0 && std::chrono::steady_clock::now() < deadline) {
        QCoreApplication::processEvents();
        EXPECT_EQ(d->describeWindow(d->foregroundWindow()), WindowInfo{});  // reads fail gently
    }
    QCoreApplication::processEvents();
    EXPECT_EQ(calls, 1);
    int later = 0;  // told once: a handler set afterwards is not run again
    d->setConnectionLostHandler([&] { ++later; });
    QCoreApplication::processEvents();
    EXPECT_EQ(later, 0);
    pclose(server);
}

}  // namespace
}  // namespace sw::test
