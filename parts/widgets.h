// Small widgets the program's windows need beyond Qt's own: a label that reports clicks, a text
// box that reports gaining and losing the keyboard focus, an image that reports the mouse, the
// visible refusal of text that is not a number, a message that does not wait for its answer, and
// the focus sink.
#pragma once

#include <algorithm>
#include <cmath>
#include <functional>

#include <QApplication>
#include <QFocusEvent>
#include <QFontInfo>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

#include "numbers.h"

namespace sw {

// The layout was drawn for text of 12 pixels (9 points at 96 dpi). A larger application font
// enlarges a whole window in step, so that its text grows and still fits; a smaller one keeps it.
inline double textZoom() {
    return std::max(1.0, QFontInfo(QApplication::font()).pixelSize() / 12.0);
}

// The layout's lengths at the font's size, the font read once: a part that converts on every
// step or move keeps one rather than asking the font each time.
class LayoutScale {
public:
    LayoutScale() : zoom_(textZoom()) {}
    // A length given in twips, as whole pixels of the program's own widgets.
    int pixels(double twips) const { return designPixels(twips * zoom_); }
    double twipsPerPixel() const { return kDesignTwipsPerPixel / zoom_; }

private:
    double zoom_;
};

inline int layoutPixels(double twips) {
    return LayoutScale().pixels(twips);
}

// A text size of the layout in pixels, at the font's size.
inline int textPixels(int pixels) {
    return static_cast<int>(std::lround(pixels * textZoom()));
}

// A control's place given in twips, as whole pixels of the program's own widgets.
inline QRect designRect(int left, int top, int width, int height) {
    return QRect(layoutPixels(left), layoutPixels(top), layoutPixels(width), layoutPixels(height));
}

// Moves the keyboard focus to the window that holds widget, so that no visible control keeps a
// focus mark after a command.
inline void loseFocus(QWidget* widget) {
    widget->window()->setFocus(Qt::OtherFocusReason);
}

// Whether a command given on control came from the keyboard. The program's controls take the
// focus by Tab alone, never by a click, so a control that holds it was pressed by a key; the
// focus then stays there. After a click the focus goes to the window (see loseFocus).
inline bool byKeyboard(QWidget* control) {
    if (control->hasFocus()) return true;
    loseFocus(control);
    return false;
}

// Arrow keys move the focus along the window's Tab chain, and never press what has it (in a group
// of exclusive buttons Qt would check, and so press, the next one).
class ArrowKeysMoveFocus final : public QObject {
public:
    using QObject::QObject;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() != QEvent::KeyPress) return false;
        const int key = static_cast<QKeyEvent*>(event)->key();
        const bool next = key == Qt::Key_Right || key == Qt::Key_Down;
        if (!next && key != Qt::Key_Left && key != Qt::Key_Up) return false;
        auto* from = static_cast<QWidget*>(watched);
        QWidget* to = from;
        do {
            to = next ? to->nextInFocusChain() : to->previousInFocusChain();
        } while (to != from && !((to->focusPolicy() & Qt::TabFocus) && to->isVisible() &&
                                 to->isEnabled() && to->window() == from->window()));
        to->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
        return true;
    }
};

// A label that acts as a button: a click, or Enter, Space or F2 while it has the focus (it takes
// it by Tab once focusable), reports onClick. Focused, it is framed in its text colour.
class ClickLabel final : public QLabel {
public:
    using QLabel::QLabel;
    std::function<void()> onClick;

    void setFocusable() { setFocusPolicy(Qt::TabFocus); }

protected:
    void keyPressEvent(QKeyEvent* event) override {
        const int key = event->key();
        if (onClick && (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Space ||
                        key == Qt::Key_F2)) {
            onClick();
            return;
        }
        QLabel::keyPressEvent(event);
    }
    void paintEvent(QPaintEvent* event) override {
        QLabel::paintEvent(event);
        if (!hasFocus()) return;
        QPainter p(this);
        p.setPen(QPen(palette().color(foregroundRole()), 1, Qt::SolidLine));
        p.drawRect(rect().adjusted(0, 0, -1, -1));
    }

    // A click is a left press and release over the label, as with a button.
    void mousePressEvent(QMouseEvent* event) override {
        pressed_ = event->button() == Qt::LeftButton;
        event->accept();
    }
    void mouseReleaseEvent(QMouseEvent* event) override {
        const bool click = pressed_ && event->button() == Qt::LeftButton &&
                           rect().contains(event->position().toPoint());
        pressed_ = false;
        event->accept();
        if (click && onClick) onClick();
    }

private:
    bool pressed_ = false;
};

class ValueBox final : public QLineEdit {
public:
    using QLineEdit::QLineEdit;
    std::function<void()> onFocusIn;
    std::function<void()> onFocusOut;
    std::function<void()> onEscape;

protected:
    void focusInEvent(QFocusEvent* event) override {
        QLineEdit::focusInEvent(event);
        if (onFocusIn) onFocusIn();
    }
    void focusOutEvent(QFocusEvent* event) override {
        QLineEdit::focusOutEvent(event);
        // The box's own context menu takes the focus for a moment; that is no
        // loss of focus to the user.
        if (event->reason() != Qt::PopupFocusReason && onFocusOut) onFocusOut();
    }
    void keyPressEvent(QKeyEvent* event) override {
        if (event->key() == Qt::Key_Escape && onEscape) {
            onEscape();
            return;
        }
        QLineEdit::keyPressEvent(event);
    }
};

// A picture that reports presses, moves and releases with the button that
// changed and the buttons held, at a point relative to itself. Qt keeps sending
// a pressed image the mouse until every button is up, wherever the pointer goes.
class ImageBox final : public QLabel {
public:
    using QLabel::QLabel;
    using MouseHandler =
        std::function<void(Qt::MouseButton button, Qt::MouseButtons held, QPoint at)>;
    MouseHandler onMouseDown;
    MouseHandler onMouseMove;
    MouseHandler onMouseUp;

protected:
    void mousePressEvent(QMouseEvent* event) override { report(onMouseDown, event); }
    void mouseMoveEvent(QMouseEvent* event) override { report(onMouseMove, event); }
    void mouseReleaseEvent(QMouseEvent* event) override { report(onMouseUp, event); }

private:
    static void report(const MouseHandler& handler, QMouseEvent* event) {
        event->accept();
        if (handler) handler(event->button(), event->buttons(), event->position().toPoint());
    }
};

// Refuses what a text box holds: the box keeps the focus with its text selected,
// so that the next keystroke replaces it, and the reason shows `below` pixels
// under its top (under the box itself when negative).
inline void showRefusal(QLineEdit* box, const std::string& why, int below = -1) {
    box->setFocus(Qt::OtherFocusReason);
    box->selectAll();
    const QPoint at = box->mapToGlobal(QPoint(0, below < 0 ? box->height() : below));
    QToolTip::showText(at, QString::fromStdString(why), box);
}

// Tells the user something in a box of its own over parent, and returns at once: the program
// goes on while the box is open, and the box goes when it is closed.
inline QMessageBox* tell(QWidget* parent, const QString& title, const QString& text) {
    auto* box = new QMessageBox(QMessageBox::Warning, title, text, QMessageBox::Ok, parent);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
    return box;
}

}  // namespace sw
