// State shared by all of the program's windows, the start routine that picks the
// first target and shows the main window, and the application's own facts.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "platform/desktop.h"

class QWidget;

namespace sw {

class Form1;
class frmRuler;

inline constexpr const char* kAppTitle = "Sizewise";
inline constexpr const char* kAppMaker = "Korvath";

// The shared globals. One instance lives for the whole run; tests make their own.
struct Module1 {
    WindowId gTargetHwnd = 0;        // the target, as the last poll left it
    Form1* gMainForm = nullptr;
    frmRuler* gHorizRuler = nullptr;  // the rulers, once they exist
    frmRuler* gVertRuler = nullptr;
    std::int16_t gWindowState = 0;   // the target's show state at the last poll
    std::array<std::int32_t, 11> gPresetWidth{};
    std::array<std::int32_t, 11> gPresetHeight{};
    std::int32_t gRulerMode = 0;
    // The notification icon's record: the tip last handed to the icon.
    struct TrayIconRecord {
        std::string szTip;
    } gTrayIcon;
};

// How many times the start routine pushes an untitled foreground window back.
inline constexpr int kStartAttempts = 10;

// The start routine: picks the first titled foreground window as the target,
// pushing untitled ones to the back up to ten times, then creates and shows the
// main window. endProcess runs when the main window has unloaded.
Form1* Main(Module1& g, Desktop& desktop, std::function<void(int status)> endProcess);

}  // namespace sw
