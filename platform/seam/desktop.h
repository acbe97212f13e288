// The program's one seam to the desktop. Every read or change of another
// application's window, of the pointer and key states, of the screen, of the
// settings store, of the notification area and of the shell goes through one of
// these interfaces, in the program's own terms: screen pixels, a window state,
// what the user did on the icon. Backends (X11, Win32) and the in-memory fake
// desktop used by the tests implement them; nothing above this layer sees a
// native type or number.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "geometry.h"

namespace sw {

// A window's show state; Gone when there is no such window (or it vanished while
// it was read).
enum class WindowState { Gone, Normal, Minimised, Maximised };

// What one query of a window returns. A window that does not exist reads as an
// empty title, a (0, 0, 0, 0) rectangle and Gone.
struct WindowInfo {
    std::string title;  // UTF-8, at most 254 characters, empty when untitled
    WindowState state = WindowState::Gone;
    // The outer frame as the user sees it; for a minimised window, the frame it
    // gets back when restored.
    Rect rect;
    friend bool operator==(const WindowInfo&, const WindowInfo&) = default;
};

enum class ShowCommand { Restore, Minimise, Maximise };

// The state a show command leaves a window in.
inline WindowState stateAfter(ShowCommand command) {
    switch (command) {
        case ShowCommand::Minimise:
            return WindowState::Minimised;
        case ShowCommand::Maximise:
            return WindowState::Maximised;
        case ShowCommand::Restore:
            break;
    }
    return WindowState::Normal;
}

class WindowSystem {
public:
    virtual ~WindowSystem() = default;

    // The window that has the user's focus, 0 if none.
    virtual WindowId foregroundWindow() = 0;

    // Title, outer rectangle and state of a window, read together.
    virtual WindowInfo describeWindow(WindowId window) = 0;

    // The outer rectangle alone, as describeWindow reads it; (0, 0, 0, 0) when
    // the window does not exist.
    virtual Rect windowRect(WindowId window) = 0;

    // Gives the window exactly this outer rectangle, raises it to the top and
    // activates it. A maximised window is restored first. Width and height may be
    // zero or negative; the backend clamps what the window system cannot take.
    virtual void placeWindow(WindowId window, const Placement& outer) = 0;

    virtual void showWindow(WindowId window, ShowCommand command) = 0;

    // Keeps the window above all normal windows (or takes it out of that layer)
    // without moving, sizing or activating it.
    virtual void setTopmost(WindowId window, bool onTop) = 0;

    // Brings the window to the foreground.
    virtual void activateWindow(WindowId window) = 0;

    // Makes one of the program's own windows a tool window: kept out of the task
    // bar and the pager, and stacked as a window of its own, not kept above the
    // program's other windows. Called before the window is first shown and again
    // once it is on the screen.
    virtual void markToolWindow(WindowId window) = 0;

    // Pushes the foreground window to the back and activates the next one (what
    // Alt+Esc does). The switch may land after the call returns.
    virtual void sendForegroundToBack() = 0;

    // Called when what the program reads may have changed: the foreground window,
    // or the title, frame or state of a window described since the last
    // foregroundWindow() (it may also have gone). Always from the event loop,
    // never from inside a call; many changes may come as one call. A backend
    // that cannot be told asks the desktop itself every 100 ms and calls it then.
    using ChangeHandler = std::function<void()>;
    virtual void setChangeHandler(ChangeHandler onChange) = 0;
};

struct KeyStates {
    bool left = false;
    bool right = false;
    bool shift = false;
    friend bool operator==(const KeyStates&, const KeyStates&) = default;
};

// The pointer position together with the key states, read in one go.
struct PointerSnapshot {
    Point position;
    KeyStates keys;
    friend bool operator==(const PointerSnapshot&, const PointerSnapshot&) = default;
};

enum class ClickCapture {
    Off,        // every click goes where it would
    ShiftLeft,  // a left press with SHIFT held, and its release
    All,        // every press and release of a button
};

class PointerInput {
public:
    virtual ~PointerInput() = default;

    // Pointer position in screen pixels.
    virtual Point cursorPos() = 0;

    // Position and, for each key, whether it is down now or has been pressed since
    // the previous read; the read clears the pressed-since state.
    virtual PointerSnapshot readPointer() = 0;

    // While a handler is set, it is called from the event loop when the pointer
    // may have moved or a button or SHIFT may have changed; an empty handler
    // ends the reports. Where no event tells of a move (another program's warp),
    // the backend looks at most four times a second.
    using InputHandler = std::function<void()>;
    virtual void setInputHandler(InputHandler onInput) = 0;

    // Which clicks go to the program alone, never to the window under the pointer. They are
    // still reported by readPointer. A backend that cannot take them (another program holds the
    // pointer) leaves the clicks where they go and says so once.
    virtual void setClickCapture(ClickCapture capture) = 0;

    // Whether a SHIFT+left click on any window is reported and can be taken (ShiftLeft). Where
    // it cannot (a compositor that keeps other programs' clicks from Sizewise), All still takes
    // every click, and the program offers another way to start measuring.
    virtual bool takesShiftClicksEverywhere() const { return true; }
};

// A key with modifiers, named by the key rather than by what the keyboard's layout types with
// it: a letter 'A'-'Z', a digit '0'-'9', or a function key F1-F24 (kFunctionKey + 1 to + 24).
struct Shortcut {
    static constexpr std::uint32_t kFunctionKey = 0x100;
    std::uint32_t key = 0;  // 0: none
    bool ctrl = false;
    bool alt = false;
    bool shift = false;
    bool meta = false;  // the Windows or Super key
    friend bool operator==(const Shortcut&, const Shortcut&) = default;
};

// Shortcuts of the whole desktop: pressed while any window has the keyboard, they go to the
// program alone.
class GlobalKeys {
public:
    virtual ~GlobalKeys() = default;

    // Called from the event loop with the index of the shortcut pressed.
    using PressHandler = std::function<void(std::size_t index)>;
    // Takes these shortcuts in place of those taken before; an empty list gives every one
    // back. For each shortcut, in order: empty when it was taken, else a sentence saying why
    // not (another program holds it, no key of the keyboard makes it).
    virtual std::vector<std::string> takeShortcuts(const std::vector<Shortcut>& shortcuts,
                                                   PressHandler onPress) = 0;
};

// What a desktop that takes no shortcut at all answers: each refused for this reason, but a
// shortcut of no key, which takes nothing and so is not refused.
inline std::vector<std::string> refuseEvery(const std::vector<Shortcut>& shortcuts,
                                            const std::string& why) {
    std::vector<std::string> refusals;
    for (const Shortcut& shortcut : shortcuts) refusals.push_back(shortcut.key == 0 ? "" : why);
    return refusals;
}

// The desktop in pixels: the bounding box of every monitor, each monitor's
// rectangle, and the logical resolution in dots per inch. Desktop co-ordinates
// may be negative left of or above the primary monitor.
struct ScreenMetrics {
    Rect bounds;
    double dpiX = 96.0;
    double dpiY = 96.0;
    // The primary monitor first. Never empty once read.
    std::vector<Rect> monitors;
    friend bool operator==(const ScreenMetrics&, const ScreenMetrics&) = default;
};

class Screen {
public:
    virtual ~Screen() = default;
    virtual ScreenMetrics metrics() = 0;

    // Called from the event loop when a monitor was added, removed, moved or
    // given a new resolution; metrics() then reads the new set.
    using MonitorsHandler = std::function<void()>;
    virtual void setMonitorsHandler(MonitorsHandler onChange) = 0;
};

// Per-user string values addressed by application, section and key. Writes
// reach the backing store together at flush(), which never leaves it half
// written; keys the program does not know are kept.
class SettingsStore {
public:
    virtual ~SettingsStore() = default;
    virtual std::string read(const std::string& app, const std::string& section,
                             const std::string& key, const std::string& fallback) = 0;
    // False when the store refused the write.
    virtual bool write(const std::string& app, const std::string& section, const std::string& key,
                       const std::string& value) = 0;
    // Saves what was written. False, with a reason, when it could not be saved.
    virtual bool flush(std::string* why = nullptr) = 0;
};

class Shell {
public:
    virtual ~Shell() = default;
    // Opens a file, a web address or a "Mailto:" link with the desktop's default
    // program. False when nothing could be started.
    virtual bool openLink(const std::string& target) = 0;
};

// What the user did on the notification icon.
enum class TrayClick {
    Activate,  // the primary (left) button
    Context,   // the context (right) button
};

// The program's icon in the notification area.
class NotifyIcon {
public:
    using ClickHandler = std::function<void(TrayClick click)>;

    virtual ~NotifyIcon() = default;
    // Registers the icon. False when no notification area shows it now; it
    // appears by itself when one starts.
    virtual bool add(const std::string& tip, ClickHandler onClick) = 0;
    virtual void modify(const std::string& tip) = 0;
    virtual void remove() = 0;
    // Whether a notification area is there to show the icon.
    virtual bool hostAvailable() const = 0;
};

// Everything the program needs of the desktop; the composition root hands each
// part only the pieces it uses.
struct Desktop {
    WindowSystem& windows;
    PointerInput& pointer;
    Screen& screen;
    SettingsStore& settings;
    Shell& shell;
    NotifyIcon& notifyIcon;
    GlobalKeys& keys;
};

}  // namespace sw
