// The pointer, the key states with presses between reads, and the screen, on a
// desktop whose input is synthesised with SendInput.
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdlib>
#include <string>

#include "platform/win32/win32desktop.h"

namespace sw::win32 {
namespace {

struct KeyCase {
    const char* name;
    bool KeyStates::*state;
    INPUT press;
    INPUT release;
};

INPUT mouse(DWORD flags) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    return input;
}

INPUT key(WORD virtualKey, DWORD flags) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = virtualKey;
    input.ki.dwFlags = flags;
    return input;
}

void send(INPUT input) {
    SendInput(1, &input, sizeof input);
    Sleep(50);
}

const KeyCase kKeys[] = {
    {"left", &KeyStates::left, mouse(MOUSEEVENTF_LEFTDOWN), mouse(MOUSEEVENTF_LEFTUP)},
    {"right", &KeyStates::right, mouse(MOUSEEVENTF_RIGHTDOWN), mouse(MOUSEEVENTF_RIGHTUP)},
    {"shift", &KeyStates::shift, key(VK_SHIFT, 0), key(VK_SHIFT, KEYEVENTF_KEYUP)},
};

class PointerTest : public testing::Test {
protected:
    void SetUp() override {
        // Presses over the empty desktop reach no test window.
        desktop.setCursorPos(Point{5, 900});
        desktop.readPointer();
    }
    Win32Desktop desktop;
};

TEST_F(PointerTest, TheCursorIsWhereItWasPut) {
    desktop.setCursorPos(Point{321, 234});
    EXPECT_EQ(desktop.cursorPos(), (Point{321, 234}));
    EXPECT_EQ(desktop.readPointer().position, (Point{321, 234}));
}

TEST_F(PointerTest, APressBetweenReadsCountsOnceThenIsCleared) {
    for (const KeyCase& k : kKeys) {
        SCOPED_TRACE(k.name);
        EXPECT_FALSE(desktop.readPointer().keys.*k.state);
        send(k.press);
        send(k.release);
        EXPECT_TRUE(desktop.readPointer().keys.*k.state);
        EXPECT_FALSE(desktop.readPointer().keys.*k.state);
    }
}

TEST_F(PointerTest, AHeldKeyReadsDownOnEveryReadUntilReleased) {
    for (const KeyCase& k : kKeys) {
        SCOPED_TRACE(k.name);
        send(k.press);
        EXPECT_TRUE(desktop.readPointer().keys.*k.state);
        EXPECT_TRUE(desktop.readPointer().keys.*k.state);
        send(k.release);
        EXPECT_FALSE(desktop.readPointer().keys.*k.state);
    }
}

// The runner starts the X server with this screen and the prefix with this DPI.
TEST(Screen, MetricsAreTheScreenInPhysicalPixelsAndTwipsOfTheSystemDpi) {
    const char* size = std::getenv("SIZEWISE_TEST_SCREEN");
    const char* dpi = std::getenv("SIZEWISE_TEST_DPI");
    if (size == nullptr || dpi == nullptr) GTEST_SKIP() << "the screen's size and DPI are not known";
    const std::string s(size);
    const ScreenMetrics m = Win32Desktop().metrics();
    EXPECT_EQ(m.widthPx, std::stoi(s.substr(0, s.find('x'))));
    EXPECT_EQ(m.heightPx, std::stoi(s.substr(s.find('x') + 1)));
    EXPECT_DOUBLE_EQ(m.twipsPerPixelX, 1440.0 / std::stoi(dpi));
    EXPECT_DOUBLE_EQ(m.twipsPerPixelY, 1440.0 / std::stoi(dpi));
}

// main() made the process aware already. (Wine makes every process per-monitor
// aware from the start: this checks the reading of the awareness, and the
// difference awareness makes to the rectangles is not seen here.)
TEST(Screen, TheProcessIsPerMonitorDpiAware) {
    EXPECT_EQ(enableDpiAwareness(), DpiAwareness::PerMonitor);
}

}  // namespace
}  // namespace sw::win32
