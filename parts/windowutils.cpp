// Small stateless operations on the program's own windows.
#include "windowutils.h"

#include <QWidget>

#include "nativehandle.h"
#include "numbers.h"

namespace sw {

void SetTopmost(WindowSystem& windows, QWidget* form, bool onTop) {
    if (form == nullptr) return;
    const WindowId handle = nativeHandle(form);
    if (handle != 0) windows.setTopmost(handle, onTop);
}

void CentreForm(const ScreenMetrics& screen, QWidget* form, bool horizontal, bool vertical) {
    if (form == nullptr) return;
    const QRect frame = form->frameGeometry();
    QPoint pos = frame.topLeft();
    if (horizontal) pos.setX(static_cast<int>(RoundHalfEven(screen.widthPx / 2.0 - frame.width() / 2.0)));
    if (vertical) pos.setY(static_cast<int>(RoundHalfEven(screen.heightPx / 2.0 - frame.height() / 2.0)));
    form->move(pos);
}

}  // namespace sw
