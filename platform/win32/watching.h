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
    // A window was read: its changes are told of until a reading after the next
    // foreground query no longer reads it.
    void described(HWND window);
    void foregroundRead();

    // Whether the system's events or the timer tell of changes.
    bool changesFromEvents() const { return !winEventHooks_.empty(); }

    // From the hook procedure, which the system calls without a context.
    void windowEvent(DWORD event, HWND window, LONG object, LONG child);
    // From the message window's procedure.
    LRESULT message(UINT message, WPARAM wParam, LPARAM lParam);

private:
    void post(UINT message, bool& posted);
    bool watched(HWND window) const;

    HWND window_ = nullptr;
    std::vector<HWINEVENTHOOK> winEventHooks_;
    WindowSystem::ChangeHandler onChange_;
    PointerInput::InputHandler onInput_;
    bool changePosted_ = false;
    std::vector<HWND> lastReading_;
    std::vector<HWND> thisReading_;
};

}  // namespace sw::win32
