// The small pictures on the main window's buttons, drawn rather than shipped:
// window-control glyphs for the state buttons and the entry panel's cross and tick.
#pragma once

#include <QIcon>

namespace sw::glyphs {

QIcon Minimise();
QIcon Restore();
QIcon Maximise();
QIcon Cross();
QIcon Tick();

}  // namespace sw::glyphs
