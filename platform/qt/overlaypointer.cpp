// The overlay: a frameless window above every other, nearly transparent (a fully transparent one
// lets the clicks through), out of the window manager's hands so that it covers panels too.
#include "overlaypointer.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWidget>

namespace sw::qt {

class ClickOverlay final : public QWidget {
public:
    // Where the pointer is, and the keys of a press there (none for a move).
    using Input = std::function<void(Point at, const KeyStates& pressed)>;
    explicit ClickOverlay(Input onInput)
        : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                               Qt::X11BypassWindowManagerHint | Qt::WindowDoesNotAcceptFocus),
          onInput_(std::move(onInput)) {
        setObjectName("clickOverlay");
        setWindowTitle("Sizewise Measuring");
        setAttribute(Qt::WA_TranslucentBackground);
        setAttribute(Qt::WA_ShowWithoutActivating);
        setCursor(Qt::CrossCursor);
        setMouseTracking(true);
    }

protected:
    void paintEvent(QPaintEvent*) override { QPainter(this).fillRect(rect(), QColor(0, 0, 0, 1)); }
    // The overlay's own events say where the pointer is sooner than a desktop that polls it.
    void mouseMoveEvent(QMouseEvent* event) override { onInput_(at(event), KeyStates{}); }
    void mousePressEvent(QMouseEvent* event) override {
        onInput_(at(event),
                 KeyStates{event->button() == Qt::LeftButton, event->button() == Qt::RightButton,
                           (event->modifiers() & Qt::ShiftModifier) != 0});
    }

private:
    static Point at(const QMouseEvent* event) {
        const QPoint global = event->globalPosition().toPoint();
        return Point{global.x(), global.y()};
    }

    Input onInput_;
};

OverlayPointer::OverlayPointer(PointerInput& inner, Screen& screen)
    : inner_(inner), screen_(screen) {}

OverlayPointer::~OverlayPointer() = default;

Point OverlayPointer::cursorPos() {
    const Point inner = inner_.cursorPos();
    return overlay_ && overlayAt_ ? *overlayAt_ : inner;
}

PointerSnapshot OverlayPointer::readPointer() {
    PointerSnapshot snap = inner_.readPointer();
    // A desktop that reports buttons (GNOME Shell polls them) reports the overlay's clicks too,
    // later or sooner: while the overlay is up, and after it until the desktop reads the buttons
    // up, the overlay alone says which were pressed, so that no click counts twice.
    if (overlay_ || quietInner_) {
        if (!overlay_ && !snap.keys.left && !snap.keys.right) quietInner_ = false;
        snap.keys.left = snap.keys.right = false;
    }
    snap.keys.left = snap.keys.left || pressed_.left;
    snap.keys.right = snap.keys.right || pressed_.right;
    snap.keys.shift = snap.keys.shift || pressed_.shift;
    pressed_ = KeyStates{};
    if (overlay_ && overlayAt_) snap.position = *overlayAt_;
    return snap;
}

void OverlayPointer::setInputHandler(InputHandler onInput) {
    onInput_ = onInput;
    inner_.setInputHandler(std::move(onInput));
}

void OverlayPointer::setClickCapture(ClickCapture capture) {
    if (capture != ClickCapture::All) {
        if (overlay_) quietInner_ = true;
        overlay_.reset();
        // SHIFT+clicks on other windows cannot be taken here (ShiftLeft), as the start note says.
        overlayAt_.reset();
        return;
    }
    if (overlay_) return;
    overlay_ = std::make_unique<ClickOverlay>([this](Point at, const KeyStates& keys) {
        overlayAt_ = at;
        pressed_.left = pressed_.left || keys.left;
        pressed_.right = pressed_.right || keys.right;
        pressed_.shift = pressed_.shift || keys.shift;
        if (onInput_) onInput_();
    });
    const Rect desk = screen_.metrics().bounds;
    overlay_->setGeometry(desk.left, desk.top, static_cast<int>(desk.width()),
                          static_cast<int>(desk.height()));
    overlay_->show();
}

QWidget* OverlayPointer::overlayWindow() const {
    return overlay_.get();
}

}  // namespace sw::qt
