// The Windows backend of the window, pointer and screen interfaces, on user32
// and DWM. Every operation is a direct call; changes are told of from the
// thread's message loop.
#pragma once

#include <cstdint>
#include <memory>

#include "desktop.h"

namespace sw::win32 {

// How the process came to see the screen in physical pixels.
enum class DpiAwareness { PerMonitor, System, Unaware };

// Makes every rectangle and pointer position the process reads physical pixels:
// per-monitor awareness (version 2) where the system has it, system awareness
// otherwise. Must run before the process creates its first window. Returns the
// awareness the process has afterwards.
DpiAwareness enableDpiAwareness();

class ClickCatcher;
class Watcher;

class Win32Desktop final : public WindowSystem,
                           public PointerInput,
                           public Screen,
                           public GlobalKeys {
public:
    Win32Desktop();
    ~Win32Desktop() override;
    Win32Desktop(const Win32Desktop&) = delete;
    Win32Desktop& operator=(const Win32Desktop&) = delete;

    // Whether window changes come from the system's events (else from a 100 ms
    // look), once a handler is set.
    bool changesFromEvents() const;

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
    void setChangeHandler(ChangeHandler onChange) override;

    // PointerInput
    Point cursorPos() override;
    PointerSnapshot readPointer() override;
    void setInputHandler(InputHandler onInput) override;
    void setClickCapture(ClickCapture capture) override;

    // Screen
    ScreenMetrics metrics() override;
    void setMonitorsHandler(MonitorsHandler onChange) override;

    // GlobalKeys
    std::vector<std::string> takeShortcuts(const std::vector<Shortcut>& shortcuts,
                                           PressHandler onPress) override;

private:
    std::unique_ptr<Watcher> watcher_;
    std::unique_ptr<ClickCatcher> catcher_;
    bool captureRefused_ = false;
    int hotkeys_ = 0;  // registered under the ids 1 to hotkeys_
};

}  // namespace sw::win32
