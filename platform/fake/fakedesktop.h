// An in-memory desktop for tests: windows with titles, rectangles and show states,
// a 1024 x 768 screen at 15 twips per pixel, a pointer, a settings store, a shell
// and a notification icon. It implements every platform interface and records
// each call, so that tests can check what the program asked of the desktop.
#pragma once

#include <deque>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "platform/desktop.h"

namespace sw::fake {

struct FakeWindow {
    std::string title;
    Rect rect;               // outer rectangle while normal or maximised
    Rect restored;           // rectangle to come back to from maximised
    int showState = kShowStateNormal;
    bool topmost = false;
};

class FakeDesktop final : public WindowSystem,
                          public PointerInput,
                          public Screen,
                          public SettingsStore,
                          public Shell,
                          public NotifyIcon {
public:
    FakeDesktop();

    Desktop desktop() { return Desktop{*this, *this, *this, *this, *this, *this}; }

    // Test set-up.
    WindowId addWindow(const std::string& title, Rect rect, int showState = kShowStateNormal);
    // A window the program made itself, known under the handle it already has.
    void adoptWindow(WindowId id, const std::string& title, Rect rect);
    // Placements are kept back until landPlacements(), as a window manager that
    // takes its time would.
    bool deferPlacements = false;
    void landPlacements();
    void closeWindow(WindowId window);
    void setForeground(WindowId window) { foreground_ = window; }
    FakeWindow* window(WindowId window);
    void setScreen(ScreenMetrics metrics) { screen_ = metrics; }
    void pressKeys(KeyStates pressed) { latched_ = pressed; }

    // Everything the program asked, reads included, one line a call
    // ("placeWindow 4097 0 0 800 600").
    std::vector<std::string> calls;
    std::vector<std::string> callsNamed(const std::string& name) const;
    void clearCalls() { calls.clear(); }

    // Notification icon state as the program left it.
    bool iconAdded = false;
    std::string iconTip;
    MessageHandler iconHandler;
    bool trayHostPresent = true;

    std::map<std::tuple<std::string, std::string, std::string>, std::string> store;
    Point pointer;
    KeyStates down;

    // WindowSystem
    WindowId foregroundWindow() override;
    WindowInfo describeWindow(WindowId window) override;
    Rect windowRect(WindowId window) override;
    void placeWindow(WindowId window, std::int32_t left, std::int32_t top, std::int32_t width,
                     std::int32_t height) override;
    void showWindow(WindowId window, ShowCommand command) override;
    void setTopmost(WindowId window, bool onTop) override;
    void markToolWindow(WindowId window) override;
    void activateWindow(WindowId window) override;
    void sendForegroundToBack() override;

    // PointerInput
    Point cursorPos() override;
    void setCursorPos(Point position) override;
    PointerSnapshot readPointer() override;

    // Screen
    ScreenMetrics metrics() override;

    // SettingsStore
    std::string read(const std::string& app, const std::string& section, const std::string& key,
                     const std::string& fallback) override;
    bool write(const std::string& app, const std::string& section, const std::string& key,
               const std::string& value) override;
    bool flush(std::string* why = nullptr) override;
    // What the last flush saved: the store as it stood then.
    std::map<std::tuple<std::string, std::string, std::string>, std::string> saved;
    bool refuseWrites = false;

    // Shell
    bool openLink(const std::string& target) override;
    // What openLink answers: false as on a desktop with no program to open links.
    bool linksOpen = true;
    bool openHelp(const std::string& path) override;

    // NotifyIcon
    bool add(const std::string& tip, MessageHandler onMessage) override;
    void modify(const std::string& tip) override;
    void remove() override;
    bool hostAvailable() const override;

private:
    void record(std::string line) { calls.push_back(std::move(line)); }
    Rect rectOf(const FakeWindow& window) const;

    std::map<WindowId, FakeWindow> windows_;
    std::deque<WindowId> zOrder_;  // front first
    WindowId foreground_ = 0;
    WindowId nextId_ = 0x1001;
    ScreenMetrics screen_;
    KeyStates latched_;
    std::vector<std::tuple<WindowId, Rect>> deferred_;
};

}  // namespace sw::fake
