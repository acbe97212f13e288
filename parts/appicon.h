// The application's icon, as the window manager, the notification area and the
// about window show it.
#pragma once

#include <QIcon>

namespace sw {

// Every size the icon is drawn at, from the program's built-in resources; the
// largest scales down well for the about window's picture.
QIcon applicationIcon();

}  // namespace sw
