// Small stateless operations on the program's own windows.
#include "app/windowutils.h"

#include <QWidget>
#include <QWindow>

#include "app/numbers.h"
#include "platform/qt/nativehandle.h"

namespace sw {

void SetTopmost(WindowSystem& windows, QWidget* form, bool onTop) {
    if (form == nullptr) return;
    const WindowId handle = nativeHandle(form);
    if (handle != 0) windows.setTopmost(handle, onTop);
}

void CentreForm(Screen& screen, QWidget* form, bool horizontal, bool vertical) {
    if (form == nullptr) return;
    const ScreenMetrics m = screen.metrics();
    const QRect frame = form->frameGeometry();
    QPoint pos = frame.topLeft();
    if (horizontal) pos.setX(static_cast<int>(RoundHalfEven(m.widthPx / 2.0 - frame.width() / 2.0)));
    if (vertical) pos.setY(static_cast<int>(RoundHalfEven(m.heightPx / 2.0 - frame.height() / 2.0)));
    form->move(pos);
}

void DragForm(QWidget* form) {
    if (form == nullptr) return;
    if (QWindow* window = form->windowHandle()) window->startSystemMove();
}

bool OpenLink(Shell& shell, const std::string& target) { return shell.openLink(target); }

}  // namespace sw
