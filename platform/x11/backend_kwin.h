// The KWin backend assembled, for Plasma under Wayland: chosen at start over X11 when KWin is
// there to run Sizewise's script.
#pragma once

#include <memory>

#include "backend.h"

namespace sw {

// A Wayland session whose session bus has KWin on it.
bool kwinSessionAvailable();

// The backend of such a session; it joins the bus and starts the script when the program first
// asks for the desktop, so that a second Sizewise can hand its command over first.
std::unique_ptr<Backend> createKWinBackend();

}  // namespace sw
