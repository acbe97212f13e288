// Reading other applications' windows: the foreground window, and a window's
// title, seen rectangle and show state. A window that is gone, or goes while it
// is read, reads as the empty WindowInfo.
#include <windows.h>
// After windows.h, whose types it uses.
#include <dwmapi.h>

#include <iterator>
#include <optional>
#include <string>

#include "frame.h"
#include "handles.h"
#include "text.h"
#include "watching.h"
#include "win32desktop.h"
#include "windowaccess.h"

namespace sw::win32 {
namespace {

// Titles are cut to 254 characters; 254 characters take at most 508 UTF-16
// units, so a longer read only ever adds characters that are cut off.
constexpr std::size_t kTitleCharacters = 254;
constexpr int kTitleUnits = 512;

std::string toUtf8(const wchar_t* text, int units) {
    if (units <= 0) return {};
    const int bytes = WideCharToMultiByte(CP_UTF8, 0, text, units, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0) return {};
    std::string utf8(static_cast<std::size_t>(bytes), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, units, utf8.data(), bytes, nullptr, nullptr);
    return utf8;
}

// A minimised window's rectangle is its icon's; the frame it is restored to is
// its placement's normal position, in workspace co-ordinates (which leave out
// the task bar) unless it is a tool window.
std::optional<Rect> restoredRect(HWND window) {
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    if (!GetWindowPlacement(window, &placement)) return std::nullopt;
    Rect r = fromRECT(placement.rcNormalPosition);
    if ((GetWindowLongPtrW(window, GWL_EXSTYLE) & WS_EX_TOOLWINDOW) == 0) {
        MONITORINFO monitor{};
        monitor.cbSize = sizeof monitor;
        if (GetMonitorInfoW(MonitorFromRect(&placement.rcNormalPosition, MONITOR_DEFAULTTONEAREST),
                            &monitor)) {
            const std::int32_t dx = monitor.rcWork.left - monitor.rcMonitor.left;
            const std::int32_t dy = monitor.rcWork.top - monitor.rcMonitor.top;
            r = Rect{r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
        }
    }
    return r;
}

}  // namespace

std::optional<Rect> visibleFrame(HWND window) {
    RECT bounds{};
    // Wine and systems without DWM composition do not answer; the window
    // rectangle is then all there is.
    if (FAILED(
            DwmGetWindowAttribute(window, DWMWA_EXTENDED_FRAME_BOUNDS, &bounds, sizeof bounds))) {
        return std::nullopt;
    }
    return fromRECT(bounds);
}

std::optional<Rect> windowRectangle(HWND window) {
    RECT r{};
    if (!GetWindowRect(window, &r)) return std::nullopt;
    return fromRECT(r);
}

std::string windowTitle(HWND window) {
    wchar_t buffer[kTitleUnits + 1] = {};
    const int units = GetWindowTextW(window, buffer, static_cast<int>(std::size(buffer)));
    return cutToCharacters(toUtf8(buffer, units), kTitleCharacters);
}

std::optional<Rect> seenWindowRect(HWND window) {
    const std::optional<Rect> outer = windowRectangle(window);
    if (!outer) return std::nullopt;
    const Rect seen = seenRect(*outer, visibleFrame(window));
    return IsIconic(window) ? restoredRect(window) : seen;
}

WindowId Win32Desktop::foregroundWindow() {
    watcher_->foregroundRead();
    return toId(GetForegroundWindow());
}

WindowInfo Win32Desktop::describeWindow(WindowId id) {
    const HWND window = toHwnd(id);
    if (id == 0 || !IsWindow(window)) return {};
    watcher_->described(window);
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    if (!GetWindowPlacement(window, &placement)) return {};
    const std::optional<Rect> rect = seenWindowRect(window);
    if (!rect) return {};
    WindowInfo info{windowTitle(window), WindowState::Normal, *rect};
    if (placement.showCmd == SW_SHOWMINIMIZED) info.state = WindowState::Minimised;
    if (placement.showCmd == SW_SHOWMAXIMIZED) info.state = WindowState::Maximised;
    // The window may have gone while it was read: what was read then belongs to
    // no window.
    return IsWindow(window) ? info : WindowInfo{};
}

Rect Win32Desktop::windowRect(WindowId id) {
    if (id == 0) return {};
    return seenWindowRect(toHwnd(id)).value_or(Rect{});
}

}  // namespace sw::win32
