// The rulers' lock, close and handle pictures, painted at 16 px.
#include "rulerglyphs.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPalette>
#include <QPixmap>
#include <QPolygon>

namespace sw::rulerglyphs {
namespace {

constexpr int kSize = 16;

// Outlines in the desktop's button text colour: they stand out on a light and a dark button.
QColor ink() {
    return QGuiApplication::palette().color(QPalette::ButtonText);
}

template <typename Paint>
QIcon draw(Paint paint) {
    QIcon icon;
    // Drawn at the device's resolution too, so the glyphs stay crisp at ratio 2.
    for (int scale : {1, 2}) {
        QPixmap pixmap(kSize * scale, kSize * scale);
        pixmap.fill(Qt::transparent);
        QPainter p(&pixmap);
        p.scale(scale, scale);
        p.setPen(QPen(ink(), 1));
        paint(p);
        p.end();
        pixmap.setDevicePixelRatio(scale);
        icon.addPixmap(pixmap);
    }
    return icon;
}

}  // namespace

QIcon lockScreen() {
    return draw([](QPainter& p) {
        p.fillRect(2, 2, 12, 9, QColor(0, 128, 128));
        p.drawRect(1, 1, 13, 10);
        p.fillRect(1, 1, 14, 3, ink());
        p.fillRect(6, 12, 4, 2, ink());
        p.fillRect(4, 14, 8, 1, ink());
    });
}

QIcon lockWindow() {
    return draw([](QPainter& p) {
        p.fillRect(3, 4, 10, 9, Qt::white);
        p.drawRect(2, 3, 11, 10);
        p.fillRect(2, 3, 12, 3, QColor(0, 0, 128));
    });
}

QIcon lockFree() {
    return draw([](QPainter& p) {
        p.fillRect(3, 8, 10, 7, QColor(192, 160, 0));
        p.drawRect(3, 8, 9, 6);
        // The shackle stands open to the right.
        p.setPen(QPen(ink(), 2));
        p.drawArc(7, 1, 7, 8, 0, 180 * 16);
        p.drawLine(14, 5, 14, 8);
    });
}

QIcon close() {
    return draw([](QPainter& p) {
        p.setPen(QPen(ink(), 2));
        p.drawLine(4, 4, 11, 11);
        p.drawLine(11, 4, 4, 11);
    });
}

void paintHandle(QPainter& p, const QRect& r, bool horizontal) {
    p.fillRect(r, QColor(128, 128, 128));
    p.setPen(Qt::white);
    p.drawLine(r.topLeft(), r.topRight());
    p.drawLine(r.topLeft(), r.bottomLeft());
    p.setPen(Qt::black);
    p.drawLine(r.bottomLeft(), r.bottomRight());
    p.drawLine(r.topRight(), r.bottomRight());
    // A small double arrow along the ruler's axis.
    const QPoint c = r.center();
    p.setBrush(Qt::black);
    p.setPen(Qt::NoPen);
    if (horizontal) {
        p.drawPolygon(QPolygon({c + QPoint(-3, -3), c + QPoint(-3, 3), c + QPoint(-1, 0)}));
        p.drawPolygon(QPolygon({c + QPoint(3, -3), c + QPoint(3, 3), c + QPoint(1, 0)}));
    } else {
        p.drawPolygon(QPolygon({c + QPoint(-3, -3), c + QPoint(3, -3), c + QPoint(0, -1)}));
        p.drawPolygon(QPolygon({c + QPoint(-3, 3), c + QPoint(3, 3), c + QPoint(0, 1)}));
    }
}

}  // namespace sw::rulerglyphs
