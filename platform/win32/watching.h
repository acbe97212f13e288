// Telling the program what changed on the Windows desktop: the system's window
// events for the foreground and the windows the program reads, a timer where
// those cannot be had, and a 10 ms look at the pointer while it is wanted.
#pragma once

#include <windows.h>

#include <vector>

#include "desktop.h"

namespace sw::win32 {

class Watcher {
public:
    Watcher();
    ~Watcher();
    Watcher(const Watcher&) = delete;
    Watcher& operator=(const Watcher&) = delete;

    void setChangeHandler(WindowSystem::ChangeHandler onChange);
    void setInputHandler(PointerInput::InputHandler onInput);
    void setMonitorsHandler(Screen::MonitorsHandler onChange) { onMonitors_ = std::move(onChange); }
    // The window the global shortcuts are registered for, and who is told of their presses.
    HWND messageWindow() const { return window_; }
    void setHotkeyHandler(GlobalKeys::PressHandler onPress) { onHotkey_ = std::move(onPress); }
    // A window was read: its changes are told of until a reading after the next
    // foreground query no longer reads it.
    void described(HWND window);
    void foregroundRead();

    // Whether the system's events or the timer tell of changes.
    bool changesFromEvents() const { return !winEventHooks_.empty(); }

    // From the hook procedure, which the system calls without a context.
    void windowEvent(DWORD event, HWND window, LONG object, LONG child);
    // From the procedure of the watcher's windows.
    LRESULT message(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

private:
    void post(UINT message, bool& posted);
    bool watched(HWND window) const;

    HWND window_ = nullptr;
    // Hidden and never shown: a change of monitors is broadcast to top-level
    // windows only, never to a message-only one.
    HWND displayWindow_ = nullptr;
    std::vector<HWINEVENTHOOK> winEventHooks_;
    WindowSystem::ChangeHandler onChange_;
    PointerInput::InputHandler onInput_;
    Screen::MonitorsHandler onMonitors_;
    GlobalKeys::PressHandler onHotkey_;
    bool changePosted_ = false;
    bool monitorsPosted_ = false;
    std::vector<HWND> lastReading_;
    std::vector<HWND> thisReading_;
};

}  // namespace sw::win32
