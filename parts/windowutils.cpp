// Small stateless operations on the program's own windows.
#include "windowutils.h"

#include <cmath>

#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

#include "monitorgeometry.h"
#include "nativehandle.h"
#include "numbers.h"

namespace sw {
namespace {

std::vector<ScaledScreen> QtScreens() {
    std::vector<ScaledScreen> out;
    for (const QScreen* screen : QGuiApplication::screens()) {
        const QRect g = screen->geometry();
        const double ratio = screen->devicePixelRatio();
        out.push_back(ScaledScreen{
            Rect{g.x(), g.y(), g.x() + static_cast<std::int32_t>(std::lround(g.width() * ratio)),
                 g.y() + static_cast<std::int32_t>(std::lround(g.height() * ratio))},
            ratio});
    }
    return out;
}

}  // namespace

QPoint ToQt(Point pixel) {
    const Point scaled = PixelToScaled(QtScreens(), pixel);
    return QPoint(scaled.x, scaled.y);
}

double RatioAt(Point pixel) {
    return RatioAt(QtScreens(), pixel);
}

Point FromQt(QPoint position) {
    return ScaledToPixel(QtScreens(), Point{position.x(), position.y()});
}

Point FromQt(QPointF position) {
    return ScaledToPixel(QtScreens(), position.x(), position.y());
}

void SetTopmost(WindowSystem& windows, QWidget* form, bool onTop) {
    if (form == nullptr) return;
    const WindowId handle = nativeHandle(form);
    if (handle != 0) windows.setTopmost(handle, onTop);
}

void CentreForm(const ScreenMetrics& screen, QWidget* form, bool horizontal, bool vertical) {
    if (form == nullptr || screen.monitors.empty()) return;
    Rect monitor = screen.monitors.front();
    if (const QWidget* owner = form->parentWidget(); owner != nullptr && owner->isVisible()) {
        const QRect f = owner->frameGeometry();
        const Point a = FromQt(f.topLeft()), b = FromQt(f.bottomRight() + QPoint(1, 1));
        monitor = MonitorHoldingMost(screen.monitors, Rect{a.x, a.y, b.x, b.y});
    }
    const double ratio = form->devicePixelRatioF();
    const QRect frame = form->frameGeometry();
    Point at = FromQt(frame.topLeft());
    const auto centred = [](std::int32_t start, std::int64_t length, double size) {
        return static_cast<std::int32_t>(RoundHalfEven(start + length / 2.0 - size / 2.0));
    };
    if (horizontal) at.x = centred(monitor.left, monitor.width(), frame.width() * ratio);
    if (vertical) at.y = centred(monitor.top, monitor.height(), frame.height() * ratio);
    form->move(ToQt(at));
}

}  // namespace sw
