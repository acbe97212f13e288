// The X11 backend of the window, pointer and screen interfaces: xcb with EWMH
// and ICCCM for other applications' windows, XInput2 raw events for desktop-wide
// button and SHIFT presses, key grabs on the root window for global shortcuts. It keeps a
// connection of its own, separate from Qt's.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "desktop.h"

namespace sw::x11 {

class X11Desktop final : public WindowSystem,
                         public PointerInput,
                         public Screen,
                         public GlobalKeys {
public:
    // Connects to the named display (nullptr: $DISPLAY). Returns nullptr and sets
    // error when the display cannot be opened.
    static std::unique_ptr<X11Desktop> connect(const char* displayName, std::string* error);
    ~X11Desktop() override;

    X11Desktop(const X11Desktop&) = delete;
    X11Desktop& operator=(const X11Desktop&) = delete;

    // What was found missing when connecting (no EWMH window manager, no XInput2).
    std::vector<std::string> warnings() const;

    // Called once, from the Qt event loop, when the X connection breaks.
    void setConnectionLostHandler(std::function<void()> handler);

    // Reads and handles whatever events have arrived (changes, XInput2 input,
    // errors). Also runs by itself whenever the connection becomes readable.
    void processEvents();

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
    void setChangeHandler(ChangeHandler onChange) override;

    // PointerInput
    Point cursorPos() override;
    PointerSnapshot readPointer() override;
    void setInputHandler(InputHandler onInput) override;
    void setClickCapture(ClickCapture capture) override;

    // Screen
    ScreenMetrics metrics() override;
    void setMonitorsHandler(MonitorsHandler onChange) override;

    // GlobalKeys
    std::vector<std::string> takeShortcuts(const std::vector<Shortcut>& shortcuts,
                                           PressHandler onPress) override;

    struct Impl;

private:
    explicit X11Desktop(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> d;
};

}  // namespace sw::x11
