// The ruler's title strip, end handles and scale strip.
#include "rulerparts.h"

#include <algorithm>
#include <cmath>

#include <QHelpEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

#include "handledrag.h"
#include "rulerglyphs.h"
#include "windowutils.h"

namespace sw {
namespace {

constexpr QRgb kStripColour = qRgb(255, 255, 192);
constexpr QRgb kHighlightColour = qRgb(255, 0, 0);
constexpr QRgb kMeasureColour = qRgb(0, 255, 255);
// Where the ticks start across the strip (they run to its far edge).
constexpr int kTickFrom = 10;
constexpr int kHalfTickFrom = 13;
constexpr int kTickFromV = 24;
constexpr int kHalfTickFromV = 29;
// The measure line lies along the strip's far edge, beside the numbers rather than over them,
// three pixels thick with a dark edge towards the numbers: cyan alone hardly shows on the pale
// strip.
constexpr int kMeasureThickness = 3;

int button(const QMouseEvent* e) {
    // Only the left button alone counts as 1, as the handle events expect.
    if (e->buttons() == Qt::LeftButton) return kLeftButton;
    return e->buttons() == Qt::NoButton ? 0 : 2;
}

}  // namespace

TitleStrip::TitleStrip(QWidget* parent) : QWidget(parent) {
    setAutoFillBackground(true);
}

bool TitleStrip::event(QEvent* event) {
    if (event->type() != QEvent::ToolTip) return QWidget::event(event);
    const auto* help = static_cast<QHelpEvent*>(event);
    for (const QLabel* label : findChildren<QLabel*>(Qt::FindDirectChildrenOnly)) {
        if (label->isVisible() && label->geometry().contains(help->pos())) {
            QToolTip::showText(help->globalPos(), label->toolTip(), this, label->geometry());
            return true;
        }
    }
    QToolTip::hideText();
    event->ignore();
    return true;
}

QPoint TitleStrip::globalPx(const QMouseEvent* event) const {
    const Point at = fromQt(event->globalPosition());
    return QPoint(at.x, at.y);
}

void TitleStrip::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && event->buttons() == Qt::LeftButton && onPress) {
        onPress(globalPx(event));
    }
}

void TitleStrip::mouseMoveEvent(QMouseEvent* event) {
    if ((event->buttons() & Qt::LeftButton) && onMove) onMove(globalPx(event));
}

void TitleStrip::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && onRelease) onRelease();
}

DragHandle::DragHandle(Axis axis, QWidget* parent) : QWidget(parent), axis_(axis) {}

void DragHandle::paintEvent(QPaintEvent*) {
    QPainter p(this);
    rulerglyphs::paintHandle(p, rect().adjusted(0, 0, -1, -1), axis_ == Axis::Horizontal);
}

void DragHandle::mousePressEvent(QMouseEvent* event) {
    const QPointF at = event->position() * devicePixelRatioF();
    if (onPress) onPress(button(event), at.x(), at.y());
}

void DragHandle::mouseMoveEvent(QMouseEvent* event) {
    const QPointF at = event->position() * devicePixelRatioF();
    if (onMove) onMove(button(event), at.x(), at.y());
}

void DragHandle::mouseReleaseEvent(QMouseEvent*) {
    if (onRelease) onRelease();
}

QFont ScaleStrip::scaleFont(double ratio) {
    QFont font("Arial");
    font.setPixelSize(static_cast<int>(std::lround(9 * ratio)));
    font.setStyleHint(QFont::SansSerif);
    return font;
}

ScaleStrip::ScaleStrip(Axis axis, QWidget* parent) : QWidget(parent), axis_(axis) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void ScaleStrip::render(const ScaleMarks& marks, int stripLength, double ratio) {
    const bool horizontal = axis_ == Axis::Horizontal;
    const int breadth = static_cast<int>(std::lround((horizontal ? 17 : 33) * ratio));
    // In screen pixels with a ratio of 1: painted onto the screen one to one,
    // every tick falls on its exact pixel.
    strip_ = QPixmap(horizontal ? QSize(stripLength + kTickSpacing + kHalfTickOffset + 1, breadth)
                                : QSize(breadth, stripLength + kTickSpacing + kHalfTickOffset + 1));
    strip_.fill(QColor(kStripColour));
    QPainter p(&strip_);
    const auto across = [&](int design) { return static_cast<int>(std::lround(design * ratio)); };
    const auto line = [&](int pos, int from) {
        if (horizontal) {
            p.fillRect(pos, across(from), 1, breadth - across(from), Qt::black);
        } else {
            p.fillRect(across(from), pos, breadth - across(from), 1, Qt::black);
        }
    };
    for (int x : marks.ticks) line(x, horizontal ? kTickFrom : kTickFromV);
    for (int x : marks.halfTicks) line(x, horizontal ? kHalfTickFrom : kHalfTickFromV);
    p.setFont(scaleFont(ratio));
    p.setPen(Qt::black);
    for (const ScaleNumber& n : marks.numbers) {
        const QString caption = QString::fromStdString(n.caption);
        if (horizontal) {
            p.drawText(QRectF(n.start, 0, n.extent, across(kNumberHeight)), Qt::AlignCenter,
                       caption);
        } else {
            p.drawText(QRectF(0, n.start, across(kNumberWidth), n.extent),
                       Qt::AlignRight | Qt::AlignVCenter, caption);
        }
    }
}

void ScaleStrip::setOffset(int offset) {
    if (offset == offset_) return;
    offset_ = offset;
    update();
}

void ScaleStrip::setHighlight(int pos) {
    if (pos == highlight_) return;
    const int old = highlight_;
    highlight_ = pos;
    updateSpan(old + offset_, old + offset_);
    updateSpan(pos + offset_, pos + offset_);
}

void ScaleStrip::setMeasure(std::optional<std::pair<int, int>> line) {
    if (line == measure_) return;
    if (measure_) updateSpan(measure_->first + offset_, measure_->second + offset_);
    measure_ = line;
    if (measure_) updateSpan(measure_->first + offset_, measure_->second + offset_);
}

void ScaleStrip::updateSpan(int from, int to) {
    const double ratio = devicePixelRatioF();
    const int a = static_cast<int>(std::floor(std::min(from, to) / ratio)) - 1;
    const int b = static_cast<int>(std::ceil((std::max(from, to) + 1) / ratio)) + 1;
    if (axis_ == Axis::Horizontal) {
        update(QRect(a, 0, b - a, height()));
    } else {
        update(QRect(0, a, width(), b - a));
    }
}

void ScaleStrip::paintEvent(QPaintEvent*) {
    QPainter p(this);
    const double ratio = devicePixelRatioF();
    // Everything below is in screen pixels.
    p.setWorldTransform(QTransform::fromScale(1 / ratio, 1 / ratio));
    const bool horizontal = axis_ == Axis::Horizontal;
    const int offset = offset_;
    const QSize size(static_cast<int>(std::lround(width() * ratio)),
                     static_cast<int>(std::lround(height() * ratio)));
    p.fillRect(QRect(QPoint(0, 0), size), QColor(kStripColour));
    p.drawPixmap(horizontal ? QPoint(offset, 0) : QPoint(0, offset), strip_);

    if (const auto measure = measure_) {
        const int a = std::min(measure->first, measure->second) + offset;
        const int len = std::abs(measure->second - measure->first) + 1;
        const int thick = static_cast<int>(std::lround(kMeasureThickness * ratio));
        const int edge = std::max(1, static_cast<int>(std::lround(ratio)));
        const int at = (horizontal ? size.height() : size.width()) - thick;
        p.fillRect(horizontal ? QRect(a, at - edge, len, edge) : QRect(at - edge, a, edge, len),
                   Qt::black);
        p.fillRect(horizontal ? QRect(a, at, len, thick) : QRect(at, a, thick, len),
                   QColor(kMeasureColour));
    }
    const int h = highlight_ + offset;
    p.fillRect(horizontal ? QRect(h, 0, 1, size.height()) : QRect(0, h, size.width(), 1),
               QColor(kHighlightColour));
}

}  // namespace sw
