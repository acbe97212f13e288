// The desktop's own style, with the states a user must tell apart drawn so that they can be: a
// focused button is framed in its text colour, and a checked tool button (the rulers' locks, the
// layout switch) in the selection colour, each at least 3:1 against the button, whatever the
// palette. Everything else is the style's own.
#pragma once

#include <QProxyStyle>

namespace sw {

class ReadableStyle final : public QProxyStyle {
    Q_OBJECT

public:
    // On the style of that name (the application's current one).
    explicit ReadableStyle(const QString& baseStyle);

    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget = nullptr) const override;
    void drawComplexControl(ComplexControl control, const QStyleOptionComplex* option,
                            QPainter* painter, const QWidget* widget = nullptr) const override;
};

}  // namespace sw
