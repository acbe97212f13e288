// Window-control glyphs, the entry panel's cross and tick and the layout switch,
// painted at 12 px, the layout view's picture of a window, and the pictures of
// the e-mail and web buttons.
#include "glyphs.h"

#include "contrast.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QPalette>
#include <QPixmap>

namespace sw::glyphs {
namespace {

constexpr int kSize = 12;

// The glyphs' ink and paper: the button colours of the desktop's palette, so that a glyph stands
// out on a light and a dark button alike.
QColor ink() {
    return QGuiApplication::palette().color(QPalette::ButtonText);
}

QColor paper() {
    return QGuiApplication::palette().color(QPalette::Button);
}

template <typename Paint>
QIcon draw(Paint paint) {
    QPixmap pixmap(kSize, kSize);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setPen(QPen(ink(), 1));
    paint(p);
    return QIcon(pixmap);
}

}  // namespace

QIcon minimise() {
    return draw([](QPainter& p) { p.fillRect(2, 8, 7, 2, ink()); });
}

QIcon restore() {
    return draw([](QPainter& p) {
        p.drawRect(4, 1, 6, 5);
        p.fillRect(4, 1, 7, 2, ink());
        p.fillRect(1, 5, 7, 6, paper());
        p.drawRect(1, 5, 6, 5);
        p.fillRect(1, 5, 7, 2, ink());
    });
}

QIcon maximise() {
    return draw([](QPainter& p) {
        p.drawRect(1, 1, 9, 9);
        p.fillRect(1, 1, 10, 2, ink());
    });
}

QIcon cross() {
    return draw([](QPainter& p) {
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(readableOn(QColor(192, 0, 0), paper(), kStateContrast), 2));
        p.drawLine(2, 2, 9, 9);
        p.drawLine(9, 2, 2, 9);
    });
}

QIcon tick() {
    return draw([](QPainter& p) {
        p.setRenderHint(QPainter::Antialiasing);
        p.setPen(QPen(readableOn(QColor(0, 128, 0), paper(), kStateContrast), 2));
        QPainterPath path;
        path.moveTo(1.5, 6);
        path.lineTo(4.5, 9);
        path.lineTo(10.5, 2.5);
        p.drawPath(path);
    });
}

QIcon layout() {
    return draw([](QPainter& p) {
        p.fillRect(1, 1, 10, 8, QColor(192, 192, 255));
        p.drawRect(0, 0, 11, 9);
        p.fillRect(3, 3, 5, 1, QColor(0, 0, 128));
        p.fillRect(3, 4, 5, 3, Qt::white);
        p.drawLine(4, 11, 7, 11);
    });
}

QPixmap windowPicture() {
    constexpr int size = 32;
    QPixmap pixmap(size, size);
    QPainter p(&pixmap);
    p.fillRect(0, 0, size, size, Qt::black);
    p.fillRect(1, 1, size - 2, 6, QColor(0, 0, 128));
    // Four panes below the title bar, a black bar between each pair.
    const QColor above(224, 255, 255);
    const QColor below(192, 255, 192);
    p.fillRect(1, 8, 14, 11, above);
    p.fillRect(16, 8, 15, 11, above);
    p.fillRect(1, 20, 14, 11, below);
    p.fillRect(16, 20, 15, 11, below);
    return pixmap;
}

QIcon envelope() {
    QPixmap pixmap(28, 20);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(64, 64, 64), 1.2));
    p.setBrush(QColor(255, 250, 220));
    const QRectF body(1.5, 2.5, 25, 15);
    p.drawRect(body);
    // The flap, folded down to the middle.
    QPainterPath flap;
    flap.moveTo(body.topLeft());
    flap.lineTo(body.center().x(), body.top() + 9);
    flap.lineTo(body.topRight());
    p.drawPath(flap);
    return QIcon(pixmap);
}

QIcon globe() {
    constexpr int size = 40;
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QRectF ball(2, 2, size - 4, size - 4);
    p.setPen(QPen(QColor(0, 64, 128), 1.5));
    p.setBrush(QColor(120, 180, 240));
    p.drawEllipse(ball);
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(0, 64, 128), 1));
    // Two meridians and the equator with two parallels.
    p.drawEllipse(ball.adjusted(9, 0, -9, 0));
    p.drawLine(QPointF(ball.center().x(), ball.top()), QPointF(ball.center().x(), ball.bottom()));
    p.drawLine(QPointF(ball.left(), ball.center().y()), QPointF(ball.right(), ball.center().y()));
    p.drawLine(QPointF(ball.left() + 4, ball.top() + 9), QPointF(ball.right() - 4, ball.top() + 9));
    p.drawLine(QPointF(ball.left() + 4, ball.bottom() - 9),
               QPointF(ball.right() - 4, ball.bottom() - 9));
    return QIcon(pixmap);
}

}  // namespace sw::glyphs
