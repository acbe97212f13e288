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

std::vector<ScaledScreen> qtScreens() {
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

QPoint toQt(Point pixel) {
    const Point scaled = pixelToScaled(qtScreens(), pixel);
    return QPoint(scaled.x, scaled.y);
}

double ratioAt(Point pixel) {
    return ratioAt(qtScreens(), pixel);
}

Point fromQt(QPoint position) {
    return scaledToPixel(qtScreens(), Point{position.x(), position.y()});
}

Point fromQt(QPointF position) {
    return scaledToPixel(qtScreens(), position.x(), position.y());
}

void setTopmost(WindowSystem& windows, QWidget* window, bool onTop) {
    if (window == nullptr) return;
    const WindowId handle = nativeHandle(window);
    if (handle != 0) windows.setTopmost(handle, onTop);
}

void centreWindow(const ScreenMetrics& screen, QWidget* window, bool horizontal, bool vertical) {
    if (window == nullptr || screen.monitors.empty()) return;
    Rect monitor = screen.monitors.front();
    if (const QWidget* owner = window->parentWidget(); owner != nullptr && owner->isVisible()) {
        const QRect f = owner->frameGeometry();
        const Point a = fromQt(f.topLeft()), b = fromQt(f.bottomRight() + QPoint(1, 1));
        monitor = monitorHoldingMost(screen.monitors, Rect{a.x, a.y, b.x, b.y});
    }
    const double ratio = window->devicePixelRatioF();
    const QRect frame = window->frameGeometry();
    Point at = fromQt(frame.topLeft());
    const auto centred = [](std::int32_t start, std::int64_t length, double size) {
        return static_cast<std::int32_t>(roundHalfEven(start + length / 2.0 - size / 2.0));
    };
    if (horizontal) at.x = centred(monitor.left, monitor.width(), frame.width() * ratio);
    if (vertical) at.y = centred(monitor.top, monitor.height(), frame.height() * ratio);
    window->move(toQt(at));
}

}  // namespace sw
