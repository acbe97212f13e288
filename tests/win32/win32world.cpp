// The contract's world on Windows and Wine: windows on threads of their own, as another
// program's, read from user32 and DWM; input through SendInput.
#include <windows.h>
// After windows.h, whose types it uses.
#include <dwmapi.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <future>
#include <map>
#include <sstream>
#include <stdexcept>
#include <thread>
#include <vector>

#include "handles.h"
#include "win32desktop.h"
#include "world.h"

namespace sw::test {
namespace {

using win32::toHwnd;
constexpr wchar_t kClass[] = L"SizewiseContractWindow";

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) PostQuitMessage(0);
    // The window counts the presses it gets.
    if (message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN) {
        SetWindowLongPtrW(window, GWLP_USERDATA, GetWindowLongPtrW(window, GWLP_USERDATA) + 1);
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

std::wstring wide(const std::string& utf8) {
    std::wstring text(utf8.size(), L'\0');
    const int size = static_cast<int>(utf8.size());
    text.resize(static_cast<std::size_t>(
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, text.data(), size)));
    return text;
}

// Lets the thread's message loop run for a while: the backend hears of changes there.
void pump(DWORD milliseconds) {
    const ULONGLONG until = GetTickCount64() + milliseconds;
    do {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    } while (GetTickCount64() < until &&
             MsgWaitForMultipleObjects(0, nullptr, FALSE,
                                       static_cast<DWORD>(until - GetTickCount64()),
                                       QS_ALLINPUT) != WAIT_FAILED);
}

// The window's own thread: makes the window, hands it over and serves it until
// it is destroyed.
void serveWindow(const std::string& title, std::promise<HWND> created) {
    const HWND window =
        CreateWindowExW(0, kClass, wide(title).c_str(), WS_OVERLAPPEDWINDOW, 120, 110, 400, 300,
                        nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    ShowWindow(window, SW_SHOWNORMAL);
    // In front, as a started program's window is: under Wine, openbox now and
    // then leaves the focus where it was.
    SetForegroundWindow(window);
    created.set_value(window);
    MSG message;
    while (window != nullptr && GetMessageW(&message, nullptr, 0, 0) > 0)
        DispatchMessageW(&message);
}

bool hasExStyle(WindowId w, LONG_PTR style) {
    return (GetWindowLongPtrW(toHwnd(w), GWL_EXSTYLE) & style) != 0;
}
INPUT mouse(DWORD flags, LONG x = 0, LONG y = 0) {
    return {.type = INPUT_MOUSE, .mi = {x, y, 0, flags, 0, 0}};
}
INPUT shift(DWORD flags) {
    return {.type = INPUT_KEYBOARD, .ki = {VK_SHIFT, 0, flags, 0, 0}};
}

// Absolute input counts 65536 steps across the screen; aiming at a pixel's
// middle lands on it however the system rounds.
LONG normalised(std::int32_t pixel, int metric) {
    return static_cast<LONG>(((2 * std::int64_t{pixel} + 1) << 16) /
                             (2 * std::int64_t{GetSystemMetrics(metric)}));
}

class Win32World final : public World {
public:
    Win32World() {
        // Style, procedure, extra bytes, instance, icon, cursor, brush, menu, name.
        static const WNDCLASSW windowClass{
            0,       windowProc, 0,       0,       GetModuleHandleW(nullptr),
            nullptr, nullptr,    nullptr, nullptr, kClass};
        RegisterClassW(&windowClass);  // fails harmlessly for every world after the first
    }
    ~Win32World() override {
        UnregisterHotKey(nullptr, 0xB000);
        while (!threads_.empty()) close(threads_.begin()->first);
    }
    WindowSystem& windows() override { return desk_; }
    PointerInput& pointer() override { return desk_; }
    Screen& screen() override { return desk_; }
    GlobalKeys& keys() override { return desk_; }

    WindowId open(const std::string& title) override {
        std::promise<HWND> created;
        std::future<HWND> made = created.get_future();
        std::thread thread(serveWindow, title, std::move(created));
        const HWND window = made.get();
        const auto id = static_cast<WindowId>(reinterpret_cast<std::uintptr_t>(window));
        threads_.emplace(id, std::move(thread));
        // The window manager takes a new window on some time after Wine has
        // answered: the test's own commands are to come after that.
        if (window == nullptr || !eventually([&] { return GetForegroundWindow() == window; })) {
            throw std::runtime_error("a test window was not made or never came to the front");
        }
        return id;
    }
    void close(WindowId window) override {
        const auto it = threads_.find(window);
        if (it == threads_.end()) return;
        PostMessageW(toHwnd(window), WM_CLOSE, 0, 0);
        it->second.join();
        threads_.erase(it);
    }

    // What is drawn, where DWM composes; Wine's DWM does not answer.
    Rect frameOf(WindowId window) override {
        RECT r{};
        const bool drawn = SUCCEEDED(
            DwmGetWindowAttribute(toHwnd(window), DWMWA_EXTENDED_FRAME_BOUNDS, &r, sizeof r));
        return drawn || GetWindowRect(toHwnd(window), &r) ? win32::fromRECT(r) : Rect{};
    }
    void moveAsItsProgram(WindowId window, Point to) override {
        SetWindowPos(toHwnd(window), nullptr, to.x, to.y, 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    void rename(WindowId window, const std::string& title) override {
        SetWindowTextW(toHwnd(window), wide(title).c_str());
    }
    bool isAbove(WindowId window) override { return hasExStyle(window, WS_EX_TOPMOST); }
    bool isToolWindow(WindowId window) override { return hasExStyle(window, WS_EX_TOOLWINDOW); }

    // The pointer is moved first and the button pressed once it is there, as a
    // hand does: Wine showed a press sent with the move before the move.
    int pressesOn(WindowId window) override {
        return static_cast<int>(GetWindowLongPtrW(toHwnd(window), GWLP_USERDATA));
    }
    void click(Point at, int button, bool withShift) override {
        INPUT move = mouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, normalised(at.x, SM_CXSCREEN),
                           normalised(at.y, SM_CYSCREEN));
        SendInput(1, &move, sizeof move);
        POINT p{};
        eventually([&] { return GetCursorPos(&p) && p.x == at.x && p.y == at.y; });
        INPUT press[] = {
            shift(0), mouse(button == 1 ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_RIGHTDOWN),
            mouse(button == 1 ? MOUSEEVENTF_LEFTUP : MOUSEEVENTF_RIGHTUP), shift(KEYEVENTF_KEYUP)};
        if (withShift) {
            SendInput(4, press, sizeof(INPUT));
        } else {
            SendInput(2, press + 1, sizeof(INPUT));
        }
    }
    void press(const Shortcut& s) override {
        const auto key = static_cast<WORD>(
            s.key > Shortcut::kFunctionKey ? VK_F1 + (s.key - Shortcut::kFunctionKey - 1) : s.key);
        std::vector<WORD> keys;
        for (const auto& [held, vk] : {std::pair{s.ctrl, VK_CONTROL},
                                       {s.alt, VK_MENU},
                                       {s.shift, VK_SHIFT},
                                       {s.meta, VK_LWIN}})
            if (held) keys.push_back(static_cast<WORD>(vk));
        keys.push_back(key);
        std::vector<INPUT> input;
        for (const WORD k : keys)
            input.push_back(INPUT{.type = INPUT_KEYBOARD, .ki = {k, 0, 0, 0, 0}});
        for (auto k = keys.rbegin(); k != keys.rend(); ++k)
            input.push_back(INPUT{.type = INPUT_KEYBOARD, .ki = {*k, 0, KEYEVENTF_KEYUP, 0, 0}});
        SendInput(static_cast<UINT>(input.size()), input.data(), sizeof(INPUT));
    }
    void holdElsewhere(const Shortcut& s) override {
        // Registered for this thread, with no window: as another program's.
        const UINT mods = (s.ctrl ? MOD_CONTROL : 0) | (s.alt ? MOD_ALT : 0) |
                          (s.shift ? MOD_SHIFT : 0) | (s.meta ? MOD_WIN : 0);
        const UINT key =
            s.key > Shortcut::kFunctionKey ? VK_F1 + (s.key - Shortcut::kFunctionKey - 1) : s.key;
        RegisterHotKey(nullptr, 0xB000, mods, key);
    }
    void tapShift() override {
        INPUT tap[] = {shift(0), shift(KEYEVENTF_KEYUP)};
        SendInput(2, tap, sizeof(INPUT));
    }

    // What the runner set up: the monitors as the runner's X server has them, the primary first
    // ("left,top,right,bottom;..."), or the screen's size; run without either, the display mode.
    // The desktop is their bounding box.
    ScreenMetrics expectedScreen() override {
        ScreenMetrics m;
        m.dpiX = m.dpiY = static_cast<double>(GetDpiForSystem());
        if (const char* dpi = std::getenv("SIZEWISE_TEST_DPI")) m.dpiX = m.dpiY = std::atof(dpi);
        std::istringstream list(
            std::getenv("SIZEWISE_TEST_MONITORS") ? std::getenv("SIZEWISE_TEST_MONITORS") : "");
        for (std::string item; std::getline(list, item, ';');) {
            Rect r;
            if (std::sscanf(item.c_str(), "%d,%d,%d,%d", &r.left, &r.top, &r.right, &r.bottom) ==
                4) {
                m.monitors.push_back(r);
            }
        }
        if (m.monitors.empty()) {
            DEVMODEW mode{};
            mode.dmSize = sizeof mode;
            EnumDisplaySettingsW(nullptr, ENUM_CURRENT_SETTINGS, &mode);
            Rect r{0, 0, static_cast<std::int32_t>(mode.dmPelsWidth),
                   static_cast<std::int32_t>(mode.dmPelsHeight)};
            if (const char* size = std::getenv("SIZEWISE_TEST_SCREEN")) {
                std::sscanf(size, "%dx%d", &r.right, &r.bottom);
            }
            m.monitors.push_back(r);
        }
        m.bounds = m.monitors.front();
        for (const Rect& r : m.monitors) {
            m.bounds = Rect{std::min(m.bounds.left, r.left), std::min(m.bounds.top, r.top),
                            std::max(m.bounds.right, r.right), std::max(m.bounds.bottom, r.bottom)};
        }
        return m;
    }

    // The windows live on their own threads: this one runs its message loop while
    // it waits, for the backend's window events. Under Wine a
    // change reads as done before the X window manager has made it, and a next
    // command can undo it (a window restored from its icon and at once maximised
    // went back to its icon): there the desktop is let settle as well.
    bool eventually(const std::function<bool()>& done) override {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (!done()) {
            if (std::chrono::steady_clock::now() > deadline) return false;
            pump(10);
        }
        if (underWine_) pump(150);
        return true;
    }
    void settle() override { pump(200); }

private:
    // Wine's ntdll names its version; Windows' does not.
    const bool underWine_ =
        GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
    win32::Win32Desktop desk_;
    std::map<WindowId, std::thread> threads_;
};

}  // namespace

std::unique_ptr<World> openWorld() {
    return std::make_unique<Win32World>();
}

}  // namespace sw::test
