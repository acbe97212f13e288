// Reading other applications' windows: the foreground window, and a window's
// title, seen rectangle and show state. A window that is gone, or goes while it
// is read, reads as the empty WindowInfo.
#include <windows.h>
// After windows.h, whose types it uses.
#include <dwmapi.h>

#include <iterator>
#include <optional>
#include <string>

#include "platform/text.h"
#include "platform/win32/frame.h"
#include "platform/win32/handles.h"
#include "platform/win32/win32desktop.h"
#include "platform/win32/windowaccess.h"

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

// Where Windows puts a minimised window: the seam promises these co-ordinates
// whatever the system in between reports.
Rect atMinimisedPosition(const Rect& r) {
    if (r.left == kMinimisedPosition && r.top == kMinimisedPosition) return r;
    return Rect{kMinimisedPosition, kMinimisedPosition,
                static_cast<std::int32_t>(kMinimisedPosition + r.width()),
                static_cast<std::int32_t>(kMinimisedPosition + r.height())};
}

}  // namespace

std::optional<Rect> visibleFrame(HWND window) {
    RECT bounds{};
    // Wine and systems without DWM composition do not answer; the window
    // rectangle is then all there is.
    if (FAILED(DwmGetWindowAttribute(window, DWMWA_EXTENDED_FRAME_BOUNDS, &bounds, sizeof bounds))) {
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
    return IsIconic(window) ? atMinimisedPosition(seen) : seen;
}

WindowId Win32Desktop::foregroundWindow() { return toId(GetForegroundWindow()); }

WindowInfo Win32Desktop::describeWindow(WindowId id) {
    const HWND window = toHwnd(id);
    if (id == 0 || !IsWindow(window)) return {};
    WINDOWPLACEMENT placement{};
    placement.length = sizeof placement;
    if (!GetWindowPlacement(window, &placement)) return {};
    const std::optional<Rect> rect = seenWindowRect(window);
    if (!rect) return {};
    WindowInfo info{windowTitle(window), *rect, kShowStateNormal};
    if (placement.showCmd == SW_SHOWMINIMIZED) info.showState = kShowStateMinimised;
    if (placement.showCmd == SW_SHOWMAXIMIZED) info.showState = kShowStateMaximised;
    // The window may have gone while it was read: what was read then belongs to
    // no window.
    return IsWindow(window) ? info : WindowInfo{};
}

Rect Win32Desktop::windowRect(WindowId id) {
    if (id == 0) return {};
    return seenWindowRect(toHwnd(id)).value_or(Rect{});
}

}  // namespace sw::win32
