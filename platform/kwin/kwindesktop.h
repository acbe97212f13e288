// The KWin backend of the window, pointer and screen interfaces, for Plasma under Wayland, where
// no ordinary client may read or place another program's window: a script inside KWin does both
// and talks to Sizewise over the session bus. Every read answers from the script's last report,
// every command is queued to the script; nothing here waits on KWin.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "desktop.h"

namespace sw::kwin {

class KWinDesktop final : public WindowSystem,
                          public PointerInput,
                          public Screen,
                          public GlobalKeys {
public:
    // Serves Sizewise's interface on the session bus and loads the script into KWin, which then
    // reports by itself. Returns nullptr, with a reason in error, when the bus or the name cannot
    // be had. Needs a Qt application object and its event loop.
    static std::unique_ptr<KWinDesktop> connect(std::string* error);
    // The same in two steps: a backend not yet on the bus, which start() puts there.
    static std::unique_ptr<KWinDesktop> create();
    bool start(std::string* error);
    ~KWinDesktop() override;

    KWinDesktop(const KWinDesktop&) = delete;
    KWinDesktop& operator=(const KWinDesktop&) = delete;

    // The script has reported the active window and the screens at least once.
    bool ready() const;
    // Called once, from the event loop, when it becomes ready.
    void setReadyHandler(std::function<void()> onReady);

    // Called once, from the event loop, when the script stops answering or KWin will not run it:
    // the desktop is then as lost as a display that went away.
    void setConnectionLostHandler(std::function<void(const std::string& why)> handler);

    // The id this backend gives the window KWin knows by this internalId ("{uuid}"), handed out
    // on first sight and never reused; and back. A window of XWayland reported by the script is
    // known by its X11 window id instead, as Qt names Sizewise's own windows there.
    WindowId windowFor(const std::string& kwinId);
    std::string kwinIdOf(WindowId window) const;

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

    // PointerInput. KWin's scripts see where the pointer is but no button, key or click: key
    // states always read up, and clicks cannot be taken from other windows.
    Point cursorPos() override;
    PointerSnapshot readPointer() override;
    void setInputHandler(InputHandler onInput) override;
    void setClickCapture(ClickCapture capture) override;
    bool takesShiftClicksEverywhere() const override { return false; }

    // Screen
    ScreenMetrics metrics() override;
    void setMonitorsHandler(MonitorsHandler onChange) override;

    // GlobalKeys: a KWin script cannot take a shortcut for another program, so each is refused.
    std::vector<std::string> takeShortcuts(const std::vector<Shortcut>& shortcuts,
                                           PressHandler onPress) override;

    struct Impl;

private:
    explicit KWinDesktop(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> d;
};

}  // namespace sw::kwin
