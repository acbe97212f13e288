// Changing other applications' windows: placing, minimising, maximising,
// restoring, keeping on top, activating and pushing the foreground window to
// the back. The calls go straight to user32 and return once the window's thread
// has taken them.
#include <windows.h>
// After windows.h, whose types it uses.
#include <dwmapi.h>

#include "frame.h"
#include "handles.h"
#include "win32desktop.h"
#include "windowaccess.h"

namespace sw::win32 {
namespace {

constexpr UINT kKeepPlace = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOOWNERZORDER;

bool hasExStyle(HWND window, LONG_PTR style) {
    return (GetWindowLongPtrW(window, GWL_EXSTYLE) & style) != 0;
}

// Windows 10 keeps suspended store apps and other desktops' windows as visible
// windows that DWM does not draw.
bool cloaked(HWND window) {
    DWORD value = 0;
    return SUCCEEDED(DwmGetWindowAttribute(window, DWMWA_CLOAKED, &value, sizeof value)) &&
           value != 0;
}

// Whether Alt+Esc would switch to this window: a shown, usable application
// window, not the desktop, a tool palette or a minimised one.
bool takesSwitch(HWND window) {
    if (!IsWindowVisible(window) || IsIconic(window) || !IsWindowEnabled(window)) return false;
    if (window == GetShellWindow() || window == GetDesktopWindow()) return false;
    if (hasExStyle(window, WS_EX_NOACTIVATE)) return false;
    if (hasExStyle(window, WS_EX_TOOLWINDOW) && !hasExStyle(window, WS_EX_APPWINDOW)) return false;
    return !cloaked(window);
}

HWND nextToActivate(HWND pushedBack) {
    for (HWND w = GetTopWindow(nullptr); w != nullptr; w = GetWindow(w, GW_HWNDNEXT)) {
        if (w != pushedBack && takesSwitch(w)) return w;
    }
    return nullptr;
}

}  // namespace

void Win32Desktop::placeWindow(WindowId id, const Placement& outer) {
    const HWND window = toHwnd(id);
    if (id == 0 || !IsWindow(window)) return;
    // A maximised window keeps its maximised place until it is restored; the
    // restored frame's invisible borders are the ones to compensate.
    if (IsZoomed(window)) ShowWindow(window, SW_RESTORE);
    const std::optional<Rect> now = windowRectangle(window);
    if (!now) return;
    const Rect r = windowRectFor(outer.left, outer.top, outer.width, outer.height,
                                 invisibleBorders(*now, visibleFrame(window)));
    SetWindowPos(window, kTop, r.left, r.top, static_cast<int>(r.width()),
                 static_cast<int>(r.height()), 0);
    SetForegroundWindow(window);
}

void Win32Desktop::showWindow(WindowId id, ShowCommand command) {
    const HWND window = toHwnd(id);
    if (id == 0 || !IsWindow(window)) return;
    switch (command) {
        case ShowCommand::Restore:
            ShowWindow(window, SW_SHOWNORMAL);
            break;
        case ShowCommand::Minimise:
            ShowWindow(window, SW_MINIMIZE);
            break;
        case ShowCommand::Maximise:
            ShowWindow(window, SW_SHOWMAXIMIZED);
            break;
    }
}

void Win32Desktop::setTopmost(WindowId id, bool onTop) {
    const HWND window = toHwnd(id);
    if (id == 0 || !IsWindow(window)) return;
    SetWindowPos(window, onTop ? kTopmost : kNotTopmost, 0, 0, 0, 0, kKeepPlace);
}

void Win32Desktop::markToolWindow(WindowId id) {
    const HWND window = toHwnd(id);
    if (id == 0 || !IsWindow(window)) return;
    // A tool window has no task-bar button and is left out of Alt+Tab; the frame
    // change makes a shown window take the new style at once.
    const LONG_PTR style = GetWindowLongPtrW(window, GWL_EXSTYLE);
    SetWindowLongPtrW(window, GWL_EXSTYLE,
                      (style | WS_EX_TOOLWINDOW) & ~static_cast<LONG_PTR>(WS_EX_APPWINDOW));
    SetWindowPos(window, nullptr, 0, 0, 0, 0, kKeepPlace | SWP_NOZORDER | SWP_FRAMECHANGED);
}

void Win32Desktop::activateWindow(WindowId id) {
    const HWND window = toHwnd(id);
    if (id == 0 || !IsWindow(window)) return;
    SetForegroundWindow(window);
}

void Win32Desktop::sendForegroundToBack() {
    const HWND foreground = GetForegroundWindow();
    const HWND next = nextToActivate(foreground);
    // HWND_BOTTOM would also take a topmost window (the task bar) out of its
    // layer, which Alt+Esc does not do: such a window only loses the focus.
    if (foreground != nullptr && !hasExStyle(foreground, WS_EX_TOPMOST)) {
        SetWindowPos(foreground, kBottom, 0, 0, 0, 0, kKeepPlace);
    }
    if (next == nullptr) return;
    // Sent, not waited for: the UI thread never sleeps, and the next reading
    // or the foreground event shows where the switch landed.
    SetForegroundWindow(next);
}

}  // namespace sw::win32
