// The Windows backend of the window, pointer and screen interfaces, on user32
// and DWM. It needs no event loop of its own: every operation is a direct call.
#pragma once

#include <cstdint>

#include "desktop.h"

namespace sw::win32 {

// How the process came to see the screen in physical pixels.
enum class DpiAwareness { PerMonitor, System, Unaware };

// Makes every rectangle and pointer position the process reads physical pixels:
// per-monitor awareness (version 2) where the system has it, system awareness
// otherwise. Must run before the process creates its first window. Returns the
// awareness the process has afterwards.
DpiAwareness enableDpiAwareness();

class Win32Desktop final : public WindowSystem, public PointerInput, public Screen {
public:
    // WindowSystem
    WindowId foregroundWindow() override;
    WindowInfo describeWindow(WindowId window) override;
    Rect windowRect(WindowId window) override;
    void placeWindow(WindowId window, const Placement& outer) override;
    void showWindow(WindowId window, ShowCommand command) override;
    void setTopmost(WindowId window, bool onTop) override;
    void markToolWindow(WindowId window) override;
    void activateWindow(WindowId window) override;
    void sendForegroundToBack() override;

    // PointerInput
    Point cursorPos() override;
    PointerSnapshot readPointer() override;

    // Screen
    ScreenMetrics metrics() override;
};

}  // namespace sw::win32
