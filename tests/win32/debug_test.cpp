#include <gtest/gtest.h>
#include <windows.h>
#include <cstdio>
#include "world.h"
namespace sw::test {
static std::string line(World& w, WindowSystem& ws, WindowId id) {
    const WindowInfo i = ws.describeWindow(id);
    const Rect f = w.frameOf(id);
    char buf[300];
    const WindowId fg = ws.foregroundWindow();
    std::snprintf(buf, sizeof buf, "state %d rect %d,%d,%d,%d frame %d,%d,%d,%d fg %s", int(i.state), i.rect.left, i.rect.top, i.rect.right, i.rect.bottom, f.left, f.top, f.right, f.bottom, fg == id ? "self" : (std::to_string(fg) + " '" + ws.describeWindow(fg).title + "'").c_str());
    return buf;
}
static void watch(const char* what, World& w, WindowSystem& ws, WindowId id, int ms) {
    std::string last;
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < DWORD(ms)) {
        const std::string l = line(w, ws, id);
        if (l != last) std::printf("%5lu %-8s %s\n", GetTickCount() - start, what, l.c_str());
        last = l;
        Sleep(5);
    }
}
TEST(Debug, States) {
    for (int round = 0; round < 8; ++round) {
    auto world = OpenWorld();
    WindowSystem& ws = world->windows();
    const WindowId w = world->open("states");
    ws.placeWindow(w, Placement{100, 90, 420, 310});
    const Rect normal{100, 90, 520, 400};
    world->eventually([&] { const WindowInfo info = ws.describeWindow(w); return info.state == WindowState::Normal && info.rect == normal; });
    ws.showWindow(w, ShowCommand::Minimise);
    world->eventually([&] { const WindowInfo info = ws.describeWindow(w); return info.state == WindowState::Minimised && info.rect == normal; });
    ws.showWindow(w, ShowCommand::Restore);
    world->eventually([&] { const WindowInfo info = ws.describeWindow(w); return info.state == WindowState::Normal && info.rect == normal; });
    ws.showWindow(w, ShowCommand::Maximise);
    watch("max", *world, ws, w, 2000);
    std::printf("---\n");
    }
}
}
