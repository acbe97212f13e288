// The program's icon: a window outline with a blue title bar and a ruler edge.
#include "platform/qt/appicon.h"

#include <QPainter>
#include <QPixmap>

namespace sw::qt {

QIcon makeAppIcon() {
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setPen(QPen(Qt::black, 2));
    p.setBrush(QColor(224, 255, 255));
    p.drawRect(3, 5, 26, 22);
    p.fillRect(4, 6, 25, 6, QColor(0, 0, 160));
    p.setPen(QPen(Qt::red, 1));
    for (int x = 6; x < 28; x += 4) p.drawLine(x, 27, x, x % 8 == 6 ? 21 : 24);
    return QIcon(pixmap);
}

}  // namespace sw::qt
