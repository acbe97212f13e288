// Two small widgets the forms need beyond Qt's own: a label that reports clicks
// and a text box that reports gaining and losing the keyboard focus.
#pragma once

#include <functional>

#include <QFocusEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>

namespace sw {

class ClickLabel final : public QLabel {
public:
    using QLabel::QLabel;
    std::function<void()> onClick;

protected:
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

}  // namespace sw
