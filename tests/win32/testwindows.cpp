// Real windows for the Windows backend's tests.
#include "tests/win32/testwindows.h"

#include <future>
#include <memory>
#include <mutex>
#include <string>

#include "platform/win32/handles.h"

namespace sw::win32::test {
namespace {

constexpr wchar_t kClassName[] = L"SizewiseTestWindow";

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

void registerClass() {
    static std::once_flag once;
    std::call_once(once, [] {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = windowProc;
        windowClass.hInstance = GetModuleHandleW(nullptr);
        windowClass.lpszClassName = kClassName;
        RegisterClassW(&windowClass);
    });
}

void runWindow(const std::wstring& title, RECT at, std::promise<HWND>& created) {
    const HWND window = CreateWindowExW(0, kClassName, title.c_str(), WS_OVERLAPPEDWINDOW, at.left,
                                        at.top, at.right - at.left, at.bottom - at.top, nullptr,
                                        nullptr, GetModuleHandleW(nullptr), nullptr);
    ShowWindow(window, SW_SHOWNORMAL);
    created.set_value(window);
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) DispatchMessageW(&message);
}

std::wstring besideThisProgram(const wchar_t* name) {
    wchar_t path[MAX_PATH] = {};
    GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring folder(path);
    return folder.substr(0, folder.find_last_of(L"\\/") + 1) + name;
}

struct Search {
    DWORD processId;
    HWND found;
};

BOOL CALLBACK findClientWindow(HWND window, LPARAM context) {
    auto* search = reinterpret_cast<Search*>(context);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    wchar_t name[64] = {};
    GetClassNameW(window, name, 64);
    if (owner != search->processId || std::wstring(name) != L"SizewiseTestClient") return TRUE;
    search->found = window;
    return FALSE;
}

// The window manager focuses a new window when it maps it, which Wine follows
// some time after the window was shown: a test's own activations come after.
void settleAsForeground(HWND window) {
    waitUntilSteady([window] { return GetForegroundWindow() == window; });
}

}  // namespace

bool waitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
    while (!done()) {
        if (std::chrono::steady_clock::now() >= deadline) return done();
        Sleep(10);
    }
    return true;
}

bool waitUntilSteady(const std::function<bool()>& done) {
    const auto steady = std::chrono::milliseconds(300);
    auto since = std::chrono::steady_clock::now();
    return waitUntil([&] {
        const auto now = std::chrono::steady_clock::now();
        if (!done()) since = now;
        return now - since >= steady;
    });
}

Rect rectOf(HWND window) {
    RECT r{};
    GetWindowRect(window, &r);
    return fromRECT(r);
}

TestWindow::TestWindow(const std::wstring& title, RECT at) {
    registerClass();
    // Shared with the thread, which may still be leaving set_value() when the
    // handle has arrived here.
    auto created = std::make_shared<std::promise<HWND>>();
    std::future<HWND> window = created->get_future();
    thread_ = std::thread([title, at, created] { runWindow(title, at, *created); });
    hwnd_ = window.get();
    settleAsForeground(hwnd_);
}

TestWindow::~TestWindow() { destroy(); }

WindowId TestWindow::id() const { return toId(hwnd_); }

void TestWindow::destroy() {
    if (!thread_.joinable()) return;
    PostMessageW(hwnd_, WM_CLOSE, 0, 0);
    thread_.join();
}

ClientWindow::ClientWindow(const std::wstring& title, RECT at) {
    std::wstring command = L"\"" + besideThisProgram(L"win32_testclient.exe") + L"\" \"" + title +
                           L"\" " + std::to_wstring(at.left) + L" " + std::to_wstring(at.top) +
                           L" " + std::to_wstring(at.right - at.left) + L" " +
                           std::to_wstring(at.bottom - at.top);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    if (!CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process_)) {
        return;
    }
    WaitForInputIdle(process_.hProcess, 5000);
    Search search{process_.dwProcessId, nullptr};
    waitUntil([&] {
        EnumWindows(findClientWindow, reinterpret_cast<LPARAM>(&search));
        return search.found != nullptr && IsWindowVisible(search.found);
    });
    hwnd_ = search.found;
    settleAsForeground(hwnd_);
}

ClientWindow::~ClientWindow() {
    if (process_.hProcess == nullptr) return;
    if (hwnd_ != nullptr) PostMessageW(hwnd_, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(process_.hProcess, 5000) != WAIT_OBJECT_0) {
        TerminateProcess(process_.hProcess, 1);
    }
    CloseHandle(process_.hThread);
    CloseHandle(process_.hProcess);
}

WindowId ClientWindow::id() const { return toId(hwnd_); }

}  // namespace sw::win32::test
