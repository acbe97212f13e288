// Real windows for the Windows backend's tests: windows of this process, each
// on a thread of its own with its own message loop as another application's
// would be, and windows of a second process.
#pragma once

#include <windows.h>

#include <chrono>
#include <functional>
#include <string>
#include <thread>

#include "platform/types.h"

namespace sw::win32::test {

inline constexpr auto kSettleTime = std::chrono::milliseconds(3000);

// Polls until done() holds or the time is up; returns done()'s last answer.
bool waitUntil(const std::function<bool()>& done, std::chrono::milliseconds limit = kSettleTime);

// Polls until done() has held for a while: the window manager works through
// Wine's requests some time after Wine has answered them.
bool waitUntilSteady(const std::function<bool()>& done);

Rect rectOf(HWND window);

class TestWindow {
public:
    explicit TestWindow(const std::wstring& title, RECT at = {120, 110, 520, 410});
    ~TestWindow();
    TestWindow(const TestWindow&) = delete;
    TestWindow& operator=(const TestWindow&) = delete;

    HWND hwnd() const { return hwnd_; }
    WindowId id() const;
    // Destroys the window now, returning once it is gone.
    void destroy();

private:
    std::thread thread_;
    HWND hwnd_ = nullptr;
};

// A window of another process: the test client started with a title and rectangle.
class ClientWindow {
public:
    explicit ClientWindow(const std::wstring& title, RECT at = {200, 180, 560, 420});
    ~ClientWindow();
    ClientWindow(const ClientWindow&) = delete;
    ClientWindow& operator=(const ClientWindow&) = delete;

    HWND hwnd() const { return hwnd_; }
    WindowId id() const;
    DWORD processId() const { return process_.dwProcessId; }

private:
    PROCESS_INFORMATION process_{};
    HWND hwnd_ = nullptr;
};

}  // namespace sw::win32::test
