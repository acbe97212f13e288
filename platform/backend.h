// Creates the desktop backend that the build chose, and tells what it found
// missing (no window manager, no notification area...).
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "platform/desktop.h"

namespace sw {

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
};

// Returns nullptr, with a reason in error, when no desktop can be reached.
std::unique_ptr<Backend> createBackend(std::string& error);

}  // namespace sw
