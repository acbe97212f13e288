// Focus and checked states that can be seen.
#include "readablestyle.h"

#include <QPainter>
#include <QStyleOption>

#include "contrast.h"

namespace sw {
namespace {

void frame(QPainter* painter, const QRect& r, const QColor& colour, int width, int inset) {
    painter->save();
    painter->setPen(QPen(colour, width, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin));
    painter->setBrush(Qt::NoBrush);
    const int half = width / 2;
    painter->drawRect(r.adjusted(inset + half, inset + half, -inset - half - (width % 2),
                                 -inset - half - (width % 2)));
    painter->restore();
}

void markStates(const QStyleOption* option, QPainter* painter) {
    const QColor button = option->palette.color(QPalette::Button);
    if (option->state & QStyle::State_On) {
        const QColor checked =
            readableOn(option->palette.color(QPalette::Highlight), button, kStateContrast);
        frame(painter, option->rect, checked, 2, 0);
    }
    if (option->state & QStyle::State_HasFocus) {
        const QColor ring =
            readableOn(option->palette.color(QPalette::ButtonText), button, kStateContrast);
        frame(painter, option->rect, ring, 1, 2);
    }
}

}  // namespace

ReadableStyle::ReadableStyle(const QString& baseStyle) : QProxyStyle(baseStyle) {}

void ReadableStyle::drawControl(ControlElement element, const QStyleOption* option,
                                QPainter* painter, const QWidget* widget) const {
    QProxyStyle::drawControl(element, option, painter, widget);
    if (element == CE_PushButton) markStates(option, painter);
}

void ReadableStyle::drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                                       QPainter* painter, const QWidget* widget) const {
    QProxyStyle::drawComplexControl(control, option, painter, widget);
    if (control == CC_ToolButton) markStates(option, painter);
}

}  // namespace sw
