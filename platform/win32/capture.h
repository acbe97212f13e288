// Clicks that go to the program alone: a low-level mouse hook, installed only while clicks are
// to be taken, that keeps them from the window under the pointer and remembers them for the
// next read of the pointer (a click kept from the system leaves no trace in its key states).
#pragma once

#include <windows.h>

#include "desktop.h"

namespace sw::win32 {

class ClickCatcher {
public:
    ClickCatcher() = default;
    ~ClickCatcher();
    ClickCatcher(const ClickCatcher&) = delete;
    ClickCatcher& operator=(const ClickCatcher&) = delete;

    // False when the hook could not be installed.
    bool setCapture(ClickCapture capture);
    // The left and right presses taken since the previous call, which clears them.
    KeyStates takePresses();

    // From the hook procedure: whether the message is the program's alone.
    bool take(WPARAM message);

private:
    ClickCapture capture_ = ClickCapture::Off;
    HHOOK hook_ = nullptr;
    KeyStates taken_;
    // A left press was taken: its release is taken too, whatever SHIFT does meanwhile.
    bool leftHeld_ = false;
};

}  // namespace sw::win32
