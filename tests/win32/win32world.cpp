// The contract's world on Windows (and under Wine): windows of the test process,
// each on a thread of its own with its own message loop as another program's
// would be, read straight from user32 and DWM, and the user's input through
// SendInput.
#include <windows.h>
// After windows.h, whose types it uses.
#include <dwmapi.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <future>
#include <map>
#include <stdexcept>
#include <thread>

#include "win32desktop.h"
#include "world.h"

namespace sw::test {
namespace {

constexpr wchar_t kClass[] = L"SizewiseContractWindow";

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcW(window, message, wParam, lParam);
}

std::wstring toUtf16(const std::string& utf8) {
    const int size = static_cast<int>(utf8.size());
    std::wstring text(static_cast<std::size_t>(MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, nullptr, 0)), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), size, text.data(), static_cast<int>(text.size()));
    return text;
}

// The window's own thread: makes the window, hands it over and serves it until
// it is destroyed.
void serveWindow(std::wstring title, std::promise<HWND> created) {
    const HWND window = CreateWindowExW(0, kClass, title.c_str(), WS_OVERLAPPEDWINDOW, 120, 110, 400, 300,
                                        nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
    if (window != nullptr) {
        ShowWindow(window, SW_SHOWNORMAL);
        SetForegroundWindow(window);
    }
    created.set_value(window);
    MSG message;
    while (window != nullptr && GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
}

INPUT mouse(DWORD flags, LONG dx = 0, LONG dy = 0) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    input.mi.dx = dx;
    input.mi.dy = dy;
    return input;
}

INPUT key(WORD virtualKey, DWORD flags) {
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = virtualKey;
    input.ki.dwFlags = flags;
    return input;
}

// Absolute input counts 65536 steps across the screen; aiming at a pixel's
// middle lands on it whichever way the system rounds.
LONG normalised(std::int32_t pixel, int screenPixels) {
    return static_cast<LONG>(((2 * std::int64_t{pixel} + 1) << 16) / (2 * std::int64_t{screenPixels}));
}

class Win32World final : public World {
public:
    Win32World() {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = windowProc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = kClass;
        RegisterClassW(&windowClass);  // fails harmlessly for every world after the first
    }
    ~Win32World() override {
        while (!opened_.empty()) close(opened_.begin()->first);
    }
    WindowSystem& windows() override { return desk_; }
    PointerInput& pointer() override { return desk_; }
    Screen& screen() override { return desk_; }

    WindowId open(const std::string& title) override {
        std::promise<HWND> created;
        std::future<HWND> handle = created.get_future();
        std::thread thread(serveWindow, toUtf16(title), std::move(created));
        const HWND window = handle.get();
        if (window == nullptr) {
            thread.join();
            throw std::runtime_error("a test window could not be made");
        }
        const auto id = static_cast<WindowId>(reinterpret_cast<std::uintptr_t>(window));
        opened_.emplace(id, Opened{window, std::move(thread)});
        // The window manager focuses a new window when it maps it, and Wine
        // follows some time later: the test's own activations are to come after.
        if (!steadily([&] { return GetForegroundWindow() == window; })) {
            char t[200]; GetWindowTextA(GetForegroundWindow(), t, 200);
            throw std::runtime_error("a test window never came to the foreground: " + std::to_string(reinterpret_cast<std::uintptr_t>(GetForegroundWindow())) + " " + t + " visible " + std::to_string(IsWindowVisible(window)) + " iconic " + std::to_string(IsIconic(window)));
        }
        return id;
    }

    void close(WindowId window) override {
        const auto it = opened_.find(window);
        if (it == opened_.end()) return;
        PostMessageW(it->second.window, WM_CLOSE, 0, 0);
        it->second.thread.join();
        opened_.erase(it);
    }

    Rect frameOf(WindowId window) override {
        RECT r{};
        const HWND w = handleOf(window);
        // What is drawn where DWM composes; Wine's DWM does not answer.
        if (FAILED(DwmGetWindowAttribute(w, DWMWA_EXTENDED_FRAME_BOUNDS, &r, sizeof r)) && !GetWindowRect(w, &r)) {
            return {};
        }
        return Rect{static_cast<std::int32_t>(r.left), static_cast<std::int32_t>(r.top),
                    static_cast<std::int32_t>(r.right), static_cast<std::int32_t>(r.bottom)};
    }
    bool isAbove(WindowId window) override { return exStyle(window, WS_EX_TOPMOST); }
    bool isToolWindow(WindowId window) override { return exStyle(window, WS_EX_TOOLWINDOW); }

    // The pointer is moved first and the buttons pressed once it is there, as
    // a hand does: Wine takes the press in before it has moved the pointer.
    void click(Point at, int button) override {
        INPUT move = mouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, normalised(at.x, GetSystemMetrics(SM_CXSCREEN)),
                           normalised(at.y, GetSystemMetrics(SM_CYSCREEN)));
        SendInput(1, &move, sizeof move);
        eventually([&] {
            POINT p{};
            return GetCursorPos(&p) && p.x == at.x && p.y == at.y;
        });
        INPUT press[] = {mouse(button == 1 ? MOUSEEVENTF_LEFTDOWN : MOUSEEVENTF_RIGHTDOWN),
                         mouse(button == 1 ? MOUSEEVENTF_LEFTUP : MOUSEEVENTF_RIGHTUP)};
        SendInput(2, press, sizeof(INPUT));
    }
    void tapShift() override {
        INPUT inputs[] = {key(VK_SHIFT, 0), key(VK_SHIFT, KEYEVENTF_KEYUP)};
        SendInput(2, inputs, sizeof(INPUT));
    }

    // What the runner set up; run without it, the display mode and the system's DPI.
    ScreenMetrics expectedScreen() override {
        int width = 0, height = 0;
        const char* size = std::getenv("SIZEWISE_TEST_SCREEN");
        const char* dpi = std::getenv("SIZEWISE_TEST_DPI");
        if (size != nullptr && dpi != nullptr && std::sscanf(size, "%dx%d", &width, &height) == 2) {
            return ScreenMetrics{width, height, std::atof(dpi), std::atof(dpi)};
        }
        DEVMODEW mode{};
        mode.dmSize = sizeof mode;
        EnumDisplaySettingsW(nullptr, ENUM_CURRENT_SETTINGS, &mode);
        const double systemDpi = GetDpiForSystem();
        return ScreenMetrics{static_cast<std::int32_t>(mode.dmPelsWidth), static_cast<std::int32_t>(mode.dmPelsHeight),
                             systemDpi, systemDpi};
    }

    // The windows live on their own threads: this one only waits.
    bool eventually(const std::function<bool()>& done) override {
        const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
        while (!done()) {
            if (std::chrono::steady_clock::now() > deadline) return false;
            Sleep(10);
        }
        if (underWine_) Sleep(settleMs());
        return true;
    }

private:
    struct Opened {
        HWND window;
        std::thread thread;
    };

    // Holds once done() has stayed true for a while.
    bool steadily(const std::function<bool()>& done) {
        auto since = std::chrono::steady_clock::now();
        return eventually([&] {
            const auto now = std::chrono::steady_clock::now();
            if (!done()) since = now;
            return now - since >= std::chrono::milliseconds(300);
        });
    }
    HWND handleOf(WindowId window) const {
        const auto it = opened_.find(window);
        return it == opened_.end() ? nullptr : it->second.window;
    }
    bool exStyle(WindowId window, LONG_PTR style) const {
        return (GetWindowLongPtrW(handleOf(window), GWL_EXSTYLE) & style) != 0;
    }

    static DWORD settleMs() { const char* e = std::getenv("SETTLE"); return e ? std::atoi(e) : 0; }
    const bool underWine_ = GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
    win32::Win32Desktop desk_;
    std::map<WindowId, Opened> opened_;
};

}  // namespace

std::unique_ptr<World> OpenWorld() { return std::make_unique<Win32World>(); }

}  // namespace sw::test
