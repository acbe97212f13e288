// The small pictures on the main window's buttons, drawn rather than shipped:
// window-control glyphs for the state buttons, the entry panel's cross and tick,
// the layout switch, the layout view's picture of a window and the e-mail and
// web buttons' pictures.
#pragma once

#include <QIcon>
#include <QPixmap>

namespace sw::glyphs {

QIcon minimise();
QIcon restore();
QIcon maximise();
QIcon cross();
QIcon tick();
// The layout switch: a small screen with a window on it.
QIcon layout();
// The layout view's picture of a window, 32 x 32, drawn to be stretched: a dark
// blue title bar over four panes, light cyan above and light green below, in a
// black frame.
QPixmap windowPicture();
// The e-mail button: a closed envelope, 28 x 20.
QIcon envelope();
// The web button: a globe with its meridians and parallels, 40 x 40.
QIcon globe();

}  // namespace sw::glyphs
