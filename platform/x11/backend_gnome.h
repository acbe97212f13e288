// The GNOME backend assembled, for GNOME Shell under Wayland: chosen at start over X11 when
// Sizewise's Shell extension is on the session bus.
#pragma once

#include <memory>
#include <optional>
#include <string>

#include "backend.h"

namespace sw {

// What Sizewise does under GNOME Shell, found at start: the GNOME backend where Sizewise's
// extension serves the version this Sizewise needs; otherwise none (X11 windows only, through
// Xwayland), a sentence saying so and what to do, and, where its package is at hand, the offer to
// install it.
struct GnomeChoice {
    std::unique_ptr<Backend> backend;
    std::string note;
    std::optional<DesktopOffer> offer;
};

// Nothing when GNOME Shell is not on the session bus. programDir is where the program's own files
// are looked for from.
std::optional<GnomeChoice> chooseGnome(const std::string& programDir);

}  // namespace sw
