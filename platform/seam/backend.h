// Creates the desktop backend that the build chose, and tells what it found
// missing (no window manager, no notification area...). The process-wide
// preparations that differ between desktops (which display, DPI awareness,
// signals or console events, the session's end) are made here too, so that the
// program above stays free of any one system's calls.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "desktop.h"

namespace sw {

// A step the user may take to let Sizewise see more of the desktop, which needs their consent
// (installing Sizewise's extension into the compositor). Asked once per version: a newer offer is
// asked again.
struct DesktopOffer {
    int version = 0;
    std::string title;
    std::string question;    // what the step does, and what must follow it
    std::string acceptText;  // the button that takes it
    // Takes the step; done runs later, from the event loop, with whether it worked and a sentence
    // for the user (what follows, or why not).
    using Done = std::function<void(bool ok, const std::string& said)>;
    std::function<void(Done done)> accept;
};

class Backend {
public:
    virtual ~Backend() = default;
    virtual Desktop desktop() = 0;
    // Plain sentences about what the desktop lacks; the program prints them.
    virtual std::vector<std::string> warnings() const = 0;
    // Names the display (the desktop session) the program works on; one instance
    // runs per display.
    virtual std::string displayIdentity() const = 0;
    // Runs once, from the event loop, when the connection to the display is lost.
    virtual void setConnectionLostHandler(std::function<void()> handler) = 0;
    // Runs ready once, from the event loop or at once, when the desktop has what the program reads
    // first (the screens, the foreground window). Asked once, before desktop() is used.
    virtual void whenReady(std::function<void()> ready) { ready(); }
    // What the user could do to let Sizewise see more here, if anything.
    virtual std::optional<DesktopOffer> offer() const { return std::nullopt; }
};

// Runs first of all: what the program prints reaches the console it was started from, also where
// a windowed program has none of its own (Windows).
void connectConsole();

// Runs first in main(), before the application object exists: checks that the
// desktop can be used and prepares the process for it. Notes are sentences for
// the user; false, with a reason in error, when the program cannot run.
bool platformStartChecks(std::vector<std::string>& notes, std::string& error);

// Returns nullptr, with a reason in error, when no desktop can be reached.
std::unique_ptr<Backend> createBackend(std::string& error);

// Why the system asks the program to end.
enum class EndRequest {
    Terminate,   // a signal, a console close, a task manager's request
    SessionEnd,  // the user logs off or the system shuts down
};

// Has onEnd run on the event loop's thread whenever the system asks the program
// to end. Needs the application object.
void installEndRequestHandlers(std::function<void(EndRequest)> onEnd);

// Has handler run when the process is ended by exit() from inside a library
// rather than by main() returning: Qt ends the process itself when its own
// display connection breaks. Objects are half torn down by then, so handler
// must need neither the display nor a widget. Registered after the windows are
// made, it runs before the exit handlers the toolkit registered while making
// them. disarmUnexpectedExit() turns it off once an exit is expected.
void installUnexpectedExitHandler(std::function<void()> handler);
void disarmUnexpectedExit();

}  // namespace sw
