// The program's one seam to the desktop. Every read or change of another
// application's window, of the pointer and key states, of the screen, of the
// settings store, of the notification area and of the shell goes through one of
// these interfaces. Backends (X11 now, Win32 later) and the in-memory fake desktop
// used by the tests implement them; nothing above this layer sees a native type.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "platform/types.h"

namespace sw {

// What one query of a window returns. A window that does not exist (or vanished
// mid-query) reads as an empty title, a (0, 0, 0, 0) rectangle and state 0.
struct WindowInfo {
    std::string title;      // UTF-8, at most 254 characters, empty when untitled
    Rect rect;              // outer frame; a minimised window: Left = Top = -32000
    int showState = kShowStateFailed;
    friend bool operator==(const WindowInfo&, const WindowInfo&) = default;
};

class WindowSystem {
public:
    virtual ~WindowSystem() = default;

    // The window that has the user's focus, 0 if none.
    virtual WindowId foregroundWindow() = 0;

    // Title, outer rectangle and show state of a window, read together.
    virtual WindowInfo describeWindow(WindowId window) = 0;

    // The outer rectangle alone; (0, 0, 0, 0) when the window does not exist.
    virtual Rect windowRect(WindowId window) = 0;

    // The target placement call: gives the window exactly this outer rectangle,
    // raises it to the top of the z-order and activates it. A maximised window is
    // restored first. Width and height may be zero or negative; the backend clamps
    // what the window system cannot take.
    virtual void placeWindow(WindowId window, std::int32_t left, std::int32_t top,
                             std::int32_t width, std::int32_t height) = 0;

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
    // Alt+Esc does), returning once the switch has been processed.
    virtual void sendForegroundToBack() = 0;
};

// Mouse buttons and keys whose state the program reads.
enum class Key { LeftButton, RightButton, Shift };

struct KeyStates {
    bool left = false;
    bool right = false;
    bool shift = false;
};

// The pointer position together with the key states, read in one go.
struct PointerSnapshot {
    Point position;
    KeyStates keys;
};

class PointerInput {
public:
    virtual ~PointerInput() = default;

    // Pointer position in screen pixels.
    virtual Point cursorPos() = 0;
    virtual void setCursorPos(Point position) = 0;

    // Position and, for each key, whether it is down now or has been pressed since
    // the previous read; the read clears the pressed-since state. Backends may
    // answer a still pointer from the last reading: a pointer moved only by
    // another program's warp may then be seen up to ten reads late.
    virtual PointerSnapshot readPointer() = 0;
};

struct ScreenMetrics {
    std::int32_t widthPx = 0;
    std::int32_t heightPx = 0;
    double twipsPerPixelX = 15.0;
    double twipsPerPixelY = 15.0;
    double widthTwips() const { return widthPx * twipsPerPixelX; }
    double heightTwips() const { return heightPx * twipsPerPixelY; }
};

class Screen {
public:
    virtual ~Screen() = default;
    virtual ScreenMetrics metrics() = 0;
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
    virtual bool write(const std::string& app, const std::string& section,
                       const std::string& key, const std::string& value) = 0;
    // Saves what was written. False, with a reason, when it could not be saved.
    virtual bool flush(std::string* why = nullptr) = 0;
};

class Shell {
public:
    virtual ~Shell() = default;
    // Opens a file, a web address or a "Mailto:" link with the desktop's default
    // program. False when nothing could be started.
    virtual bool openLink(const std::string& target) = 0;
    // Opens a help file at its contents.
    virtual bool openHelp(const std::string& path) = 0;
};

// The program's icon in the notification area. Mouse events on it are reported
// with the Win32 mouse message numbers the program's handlers decode.
class NotifyIcon {
public:
    static constexpr std::uint32_t kLeftButtonDown = 0x201;
    static constexpr std::uint32_t kRightButtonDown = 0x204;
    static constexpr std::uint32_t kRightButtonUp = 0x205;
    // The tip field holds 64 characters with its terminator.
    static constexpr int kTipCharacters = 63;

    using MessageHandler = std::function<void(std::uint32_t message)>;

    virtual ~NotifyIcon() = default;
    // Registers the icon. False when the icon could not be registered now.
    virtual bool add(const std::string& tip, MessageHandler onMessage) = 0;
    virtual void modify(const std::string& tip) = 0;
    virtual void remove() = 0;
    // Whether a notification area is there to show the icon.
    virtual bool hostAvailable() const = 0;
};

// Everything the program needs of the desktop, handed to each form.
struct Desktop {
    WindowSystem& windows;
    PointerInput& pointer;
    Screen& screen;
    SettingsStore& settings;
    Shell& shell;
    NotifyIcon& notifyIcon;
};

}  // namespace sw
