// The GNOME backend assembled, for GNOME Shell under Wayland: chosen at start over X11 when
// Sizewise's Shell extension is on the session bus.
#pragma once

#include <memory>

#include "backend.h"

namespace sw {

// A Wayland session whose session bus has Sizewise's GNOME Shell extension on it.
bool gnomeSessionAvailable();

// The backend of such a session; it starts listening to the extension when the program first
// asks for the desktop.
std::unique_ptr<Backend> createGnomeBackend();

}  // namespace sw
