// The GNOME backend of the window, pointer and screen interfaces, for GNOME Shell under Wayland,
// where no ordinary client may read or place another program's window: Sizewise's Shell extension
// does both and serves them on the session bus. Every read answers from what the extension last
// said, every command is an asynchronous call; nothing here waits on the Shell.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "desktop.h"

namespace sw::gnome {

class GnomeDesktop final : public WindowSystem,
                           public PointerInput,
                           public Screen,
                           public GlobalKeys {
public:
    // Listens to the extension on the session bus and asks it for the active window and the
    // monitors, which it answers later. Returns nullptr, with a reason in error, when the bus or
    // the extension is not there. Needs a Qt application object and its event loop.
    static std::unique_ptr<GnomeDesktop> connect(std::string* error);
    // The same in two steps: a backend not yet listening, which start() sets going.
    static std::unique_ptr<GnomeDesktop> create();
    bool start(std::string* error);
    ~GnomeDesktop() override;

    GnomeDesktop(const GnomeDesktop&) = delete;
    GnomeDesktop& operator=(const GnomeDesktop&) = delete;

    // The extension has answered for the active window and the monitors at least once.
    bool ready() const;
    // Called once, from the event loop, when it becomes ready.
    void setReadyHandler(std::function<void()> onReady);

    // Called once, from the event loop, when the extension's name leaves the bus (the Shell ended
    // or the extension was disabled): the desktop is then as lost as a display that went away.
    void setConnectionLostHandler(std::function<void(const std::string& why)> handler);

    // The id this backend gives the window Mutter knows by this id (Meta.Window.get_id()), handed
    // out on first sight and never reused; and back (0 for none).
    WindowId windowFor(std::uint64_t mutterId);
    std::uint64_t mutterIdOf(WindowId window) const;
    // Whether the extension said the window is one of this process's (SetOwnProcesses).
    bool isOwnWindow(WindowId window) const;

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

    // PointerInput. The extension reports the pointer and Clutter's button and SHIFT bits; clicks
    // cannot be taken from other windows.
    Point cursorPos() override;
    PointerSnapshot readPointer() override;
    void setInputHandler(InputHandler onInput) override;
    void setClickCapture(ClickCapture capture) override;
    bool takesShiftClicksEverywhere() const override { return false; }

    // Screen
    ScreenMetrics metrics() override;
    void setMonitorsHandler(MonitorsHandler onChange) override;

    // GlobalKeys: the extension takes no shortcut for Sizewise yet, so each is refused.
    std::vector<std::string> takeShortcuts(const std::vector<Shortcut>& shortcuts,
                                           PressHandler onPress) override;

    struct Impl;

private:
    explicit GnomeDesktop(std::unique_ptr<Impl> impl);
    std::unique_ptr<Impl> d;
};

}  // namespace sw::gnome
