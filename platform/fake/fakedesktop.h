// An in-memory desktop for tests: windows with titles, rectangles and states, a 1024 x 768
// screen at 96 DPI, a pointer, a settings store, a shell and a notification icon. It implements
// every interface of the seam, keeps what the user would see of each, and can be as awkward as a
// real desktop: placements that land later, reads that catch a window in passing, windows that
// vanish mid-call.
#pragma once

#include <deque>
#include <map>
#include <string>
#include <tuple>
#include <vector>

#include "desktop.h"

namespace sw::fake {

struct FakeWindow {
    std::string title;
    Rect rect;      // where the window is while normal or maximised
    Rect restored;  // where it comes back to from minimised or maximised
    WindowState state = WindowState::Normal;
    bool topmost = false;
    bool toolWindow = false;
    // Readings a window manager in the middle of a change would give, answered
    // (first first) before the window's real state.
    std::deque<WindowInfo> passing;
};

class FakeDesktop final : public WindowSystem,
                          public PointerInput,
                          public Screen,
                          public SettingsStore,
                          public Shell,
                          public NotifyIcon,
                          public GlobalKeys {
public:
    FakeDesktop();

    Desktop desktop() { return Desktop{*this, *this, *this, *this, *this, *this, *this}; }

    // Test set-up.
    WindowId addWindow(const std::string& title, Rect rect,
                       WindowState state = WindowState::Normal);
    // A window the program made itself, known under the handle it already has.
    void adoptWindow(WindowId id, const std::string& title, Rect rect);
    void closeWindow(WindowId window);
    // The window is gone by the time the next call that names it is answered.
    void vanishOnNextCall(WindowId window) { vanishing_ = window; }
    void setForeground(WindowId window) { foreground_ = window; }
    FakeWindow* window(WindowId window);
    // The desktop's size and monitors (one covering it all when none are given);
    // a monitors handler set by the program is told, as a backend tells it from
    // the event loop.
    void setScreen(ScreenMetrics metrics);
    // Presses seen since the last read of the pointer; the input handler is told.
    void pressKeys(KeyStates pressed);
    // The user moves the pointer, or holds keys down; the input handler is told.
    void movePointer(Point to);
    void holdKeys(KeyStates held);
    // The desktop changed: the program is told at the next deliverChanges(), as
    // a backend tells it from the event loop. The fake's own commands count too.
    void changed() { changePending_ = true; }
    void deliverChanges();
    // Placements are kept back until landPlacements(), as a window manager that
    // takes its time would.
    bool deferPlacements = false;
    void landPlacements();

    // How many times the program asked which window is in the foreground, and how many times a
    // foreground window was sent to the back.
    int foregroundReads = 0;
    int sentBack = 0;
    // The links the program had the desktop open.
    std::vector<std::string> openedLinks;

    // Notification icon state as the program left it, and how often its tip was changed.
    bool iconAdded = false;
    std::string iconTip;
    int tipChanges = 0;
    ClickHandler iconHandler;
    bool trayHostPresent = true;

    // The settings store, and what the last flush saved.
    using Store = std::map<std::tuple<std::string, std::string, std::string>, std::string>;
    Store store;
    Store saved;
    bool refuseWrites = false;
    // A store that refuses this one key alone.
    std::string refuseKey;
    // What openLink answers: false as on a desktop with no program to open links.
    bool linksOpen = true;

    Point pointer;
    KeyStates down;
    ChangeHandler changeHandler;
    InputHandler inputHandler;
    // Which clicks the program has taken from the windows under the pointer.
    ClickCapture capture = ClickCapture::Off;
    // False plays a Wayland compositor, which keeps other windows' SHIFT+clicks from programs.
    bool shiftClicksEverywhere = true;
    MonitorsHandler monitorsHandler;

    // WindowSystem
    WindowId foregroundWindow() override;
    WindowInfo describeWindow(WindowId window) override;
    Rect windowRect(WindowId window) override;
    void placeWindow(WindowId window, const Placement& outer) override;
    void showWindow(WindowId window, ShowCommand command) override;
    void setTopmost(WindowId window, bool onTop) override;
    void markToolWindow(WindowId window) override;
    void activateWindow(WindowId window) override;
    void sendForegroundToBack() override;
    void setChangeHandler(ChangeHandler onChange) override { changeHandler = std::move(onChange); }

    // PointerInput
    Point cursorPos() override;
    PointerSnapshot readPointer() override;
    void setInputHandler(InputHandler onInput) override { inputHandler = std::move(onInput); }
    void setClickCapture(ClickCapture taken) override { capture = taken; }
    bool takesShiftClicksEverywhere() const override { return shiftClicksEverywhere; }

    // Screen
    ScreenMetrics metrics() override;
    void setMonitorsHandler(MonitorsHandler onChange) override {
        monitorsHandler = std::move(onChange);
    }

    // SettingsStore
    std::string read(const std::string& app, const std::string& section, const std::string& key,
                     const std::string& fallback) override;
    bool write(const std::string& app, const std::string& section, const std::string& key,
               const std::string& value) override;
    bool flush(std::string* why = nullptr) override;

    // Shell
    bool openLink(const std::string& target) override;

    // Shortcuts another program holds, those the program took, and a press of one of them.
    std::vector<Shortcut> heldElsewhere;
    std::vector<Shortcut> shortcuts;
    PressHandler shortcutHandler;
    void pressShortcut(const Shortcut& shortcut);
    // GlobalKeys
    std::vector<std::string> takeShortcuts(const std::vector<Shortcut>& wanted,
                                           PressHandler onPress) override;
    // NotifyIcon
    bool add(const std::string& tip, ClickHandler onClick) override;
    void modify(const std::string& tip) override;
    void remove() override;
    bool hostAvailable() const override;

private:
    // The window a call names, after a pending vanish has taken effect.
    FakeWindow* named(WindowId id);
    void place(WindowId id, const Placement& p);

    std::map<WindowId, FakeWindow> windows_;
    std::deque<WindowId> zOrder_;  // front first
    WindowId foreground_ = 0;
    WindowId nextId_ = 0x1001;
    WindowId vanishing_ = 0;
    ScreenMetrics screen_{Rect{0, 0, 1024, 768}, 96.0, 96.0, {Rect{0, 0, 1024, 768}}};
    KeyStates latched_;
    bool changePending_ = false;
    std::vector<std::tuple<WindowId, Placement>> deferred_;
};

}  // namespace sw::fake
