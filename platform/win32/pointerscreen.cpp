// The pointer, the mouse buttons' and SHIFT's states, the screen's size and
// resolution, and the process's DPI awareness.
#include <windows.h>
#include <utility>
#include <vector>

#include <cstdio>

#include "capture.h"
#include "win32desktop.h"

namespace sw::win32 {
namespace {

constexpr int kDefaultDpi = 96;

// GetAsyncKeyState's high bit says the key is down now, its low bit that it
// was pressed since the previous call, which that call clears.
bool downOrPressedSince(int virtualKey) {
    return GetAsyncKeyState(virtualKey) != 0;
}

template <typename Function>
Function systemFunction(const char* name) {
    const HMODULE user32 = GetModuleHandleW(L"user32.dll");
    if (user32 == nullptr) return nullptr;
    // Through a plain function pointer: GetProcAddress's own type fits no call.
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(GetProcAddress(user32, name)));
}

}  // namespace

// What the process's awareness is now, however it was set.
DpiAwareness currentAwareness() {
    // Windows 10 1607 and later.
    using GetContext = HANDLE(WINAPI*)();
    using AwarenessOf = int(WINAPI*)(HANDLE);
    const auto getContext = systemFunction<GetContext>("GetThreadDpiAwarenessContext");
    const auto awarenessOf = systemFunction<AwarenessOf>("GetAwarenessFromDpiAwarenessContext");
    if (getContext != nullptr && awarenessOf != nullptr) {
        constexpr int kSystemAware = 1;
        constexpr int kPerMonitorAware = 2;
        const int awareness = awarenessOf(getContext());
        if (awareness == kPerMonitorAware) return DpiAwareness::PerMonitor;
        if (awareness == kSystemAware) return DpiAwareness::System;
        return DpiAwareness::Unaware;
    }
    return IsProcessDPIAware() ? DpiAwareness::System : DpiAwareness::Unaware;
}

DpiAwareness enableDpiAwareness() {
    // Windows 10 1703 and later; looked up so that older systems still start.
    // It fails, harmlessly, where a manifest or an earlier call set the awareness.
    using SetContext = BOOL(WINAPI*)(HANDLE);
    const auto setContext = systemFunction<SetContext>("SetProcessDpiAwarenessContext");
    const auto perMonitorV2 = reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-4));
    if (setContext != nullptr) setContext(perMonitorV2);
    if (currentAwareness() == DpiAwareness::Unaware) SetProcessDPIAware();
    return currentAwareness();
}

Point Win32Desktop::cursorPos() {
    POINT p{};
    if (!GetCursorPos(&p)) return {};
    return Point{static_cast<std::int32_t>(p.x), static_cast<std::int32_t>(p.y)};
}

PointerSnapshot Win32Desktop::readPointer() {
    PointerSnapshot snapshot;
    snapshot.position = cursorPos();
    snapshot.keys.left = downOrPressedSince(VK_LBUTTON);
    snapshot.keys.right = downOrPressedSince(VK_RBUTTON);
    // Wine keeps the pressed-since bit on the left and right SHIFT keys only;
    // each key's bit is its own, so all three are read.
    const bool shift = downOrPressedSince(VK_SHIFT);
    const bool leftShift = downOrPressedSince(VK_LSHIFT);
    const bool rightShift = downOrPressedSince(VK_RSHIFT);
    snapshot.keys.shift = shift || leftShift || rightShift;
    // Clicks kept from the window under the pointer never reached the key states.
    const KeyStates taken = catcher_->takePresses();
    snapshot.keys.left = snapshot.keys.left || taken.left;
    snapshot.keys.right = snapshot.keys.right || taken.right;
    snapshot.keys.shift = snapshot.keys.shift || taken.shift;
    return snapshot;
}

void Win32Desktop::setClickCapture(ClickCapture capture) {
    if (!catcher_->setCapture(capture) && !captureRefused_) {
        captureRefused_ = true;
        std::fputs(
            "sizewise: no mouse hook; measuring clicks also reach the window under the "
            "pointer\n",
            stderr);
    }
}

namespace {

struct Found {
    std::vector<Rect> monitors;
    std::size_t primary = 0;
};

BOOL CALLBACK addMonitor(HMONITOR monitor, HDC, LPRECT, LPARAM data) {
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (GetMonitorInfoW(monitor, &info) == FALSE) return TRUE;
    auto& found = *reinterpret_cast<Found*>(data);
    if ((info.dwFlags & MONITORINFOF_PRIMARY) != 0) found.primary = found.monitors.size();
    const RECT& r = info.rcMonitor;
    found.monitors.push_back(Rect{r.left, r.top, r.right, r.bottom});
    return TRUE;
}

}  // namespace

ScreenMetrics Win32Desktop::metrics() {
    // The virtual screen is the bounding box of every monitor; SM_CXSCREEN and SM_CYSCREEN
    // would be the primary monitor alone.
    ScreenMetrics m;
    const int left = GetSystemMetrics(SM_XVIRTUALSCREEN);
    const int top = GetSystemMetrics(SM_YVIRTUALSCREEN);
    m.bounds = Rect{left, top, left + GetSystemMetrics(SM_CXVIRTUALSCREEN),
                    top + GetSystemMetrics(SM_CYVIRTUALSCREEN)};
    // The system DPI; a per-monitor-aware process gets it from the screen's
    // device context as well.
    int dpiX = kDefaultDpi;
    int dpiY = kDefaultDpi;
    if (const HDC screen = GetDC(nullptr)) {
        dpiX = GetDeviceCaps(screen, LOGPIXELSX);
        dpiY = GetDeviceCaps(screen, LOGPIXELSY);
        ReleaseDC(nullptr, screen);
    }
    m.dpiX = dpiX > 0 ? dpiX : kDefaultDpi;
    m.dpiY = dpiY > 0 ? dpiY : kDefaultDpi;
    Found found;
    EnumDisplayMonitors(nullptr, nullptr, addMonitor, reinterpret_cast<LPARAM>(&found));
    m.monitors = std::move(found.monitors);
    // The primary monitor, the one at the origin, first.
    if (found.primary < m.monitors.size()) std::swap(m.monitors[0], m.monitors[found.primary]);
    if (m.monitors.empty()) m.monitors.push_back(m.bounds);
    return m;
}

}  // namespace sw::win32
