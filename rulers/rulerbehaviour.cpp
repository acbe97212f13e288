// What a ruler does: locks and following, the scale mode, moving and stretching, the caption
// colour, and showing what the pointer work found.
#include <cmath>

#include <QAbstractButton>
#include <QApplication>
#include <QButtonGroup>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>

#include "appinfo.h"
#include "monitorgeometry.h"
#include "nativehandle.h"
#include "rulerparts.h"
#include "rulerwindow.h"
#include "screenmodel.h"
#include "target.h"

namespace sw {

void RulerWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    markAgain_ = true;
}

void RulerWindow::setActiveCaption(bool active) {
    // Window managers may drop the states set before mapping when they take the window on; by
    // the next reading after it was shown the window is theirs to tell again.
    if (markAgain_ && isVisible()) {
        markAgain_ = false;
        windows_.markToolWindow(nativeHandle(this));
    }
    if (active_ == active) return;
    active_ = active;
    colourCaption();
}

void RulerWindow::colourCaption() {
    // The desktop's colours for a focused selection and for a quiet frame stand in for the
    // active and inactive caption colours.
    const QPalette system = QApplication::palette();
    QPalette pal = titleStrip_->palette();
    pal.setColor(QPalette::Window, active_ ? system.color(QPalette::Active, QPalette::Highlight)
                                           : system.color(QPalette::Inactive, QPalette::Mid));
    titleStrip_->setPalette(pal);
}

Rect RulerWindow::monitorUnder() const {
    const std::int32_t half = thickness(axis_) / 2;
    const auto alongCentre = static_cast<std::int32_t>(edge_ + std::int64_t{length_} / 2);
    const Point centre = axis_ == Axis::Horizontal ? Point{alongCentre, across_ + half}
                                                   : Point{across_ + half, alongCentre};
    return monitorAt(screen_.monitors(), centre);
}

void RulerWindow::followMonitor() {
    // A ruler locked to the screen takes the span of the monitor it has come to.
    if (lock_.lock != RulerLock::Screen) return;
    const Rect monitor = monitorUnder();
    if (startEdge(axis_, monitor) == edge_ && extent(axis_, monitor) == length_) return;
    setPlace(startEdge(axis_, monitor), static_cast<std::int32_t>(extent(axis_, monitor)));
}

void RulerWindow::rulerMoved() {
    // A locked ruler is held on its line by the move loop itself (the title strip moves it only
    // across its axis), so nothing here moves the pointer.
    followMonitor();
    placeScale();
    emit moved();
}

void RulerWindow::setLock(RulerLock lock) {
    const ScreenMetrics& screen = screen_.metrics();
    const LockOutcome out =
        switchLock(axis_, lock_, currentPlace(), lock, screen, monitorUnder(), target_.frame());
    lock_ = out.state;
    if (out.refusedMinimised) refuseLock();
    if (out.place) {
        setPlace(out.place->edge / twipsPerPixel(axis_, screen),
                 static_cast<std::int32_t>(out.place->length));
    }
    const bool free = lock_.lock == RulerLock::Free;
    for (DragHandle* handle : handles_) handle->setVisible(free);
    if (out.switched) placeScale();
    if (QAbstractButton* b = lockGroup_->button(static_cast<int>(lock_.lock))) b->setChecked(true);
    setFocus(Qt::OtherFocusReason);
}

void RulerWindow::refuseLock() {
    QMessageBox* box = lockRefusal_;
    if (box == nullptr) {
        box = new QMessageBox(QMessageBox::NoIcon, kAppTitle, kCannotLockMinimised, QMessageBox::Ok,
                              this);
        box->setAttribute(Qt::WA_DeleteOnClose);
        lockRefusal_ = box;
    }
    // Modal, but the program's timers keep running behind it.
    box->open();
}

void RulerWindow::followTarget(const Rect& frame) {
    // On the frame just read: following costs no read of its own. The follower moves the ruler
    // only while it is locked to the target.
    if (!loaded_) return;
    const ScreenMetrics& screen = screen_.metrics();
    const auto place = follower_.follow(axis_, lock_.lock, frame, screen);
    if (!place) return;
    setPlace(place->edge / twipsPerPixel(axis_, screen), static_cast<std::int32_t>(place->length));
}

void RulerWindow::openMenu() {
    setFocus(Qt::OtherFocusReason);
    menu_->popup(menuButton_->mapToGlobal(QPoint(0, menuButton_->height())));
}

void RulerWindow::offerMeasure(bool offered) {
    if (menu_ != nullptr) menu_->offerMeasure(offered);
}

void RulerWindow::setScaleMode(ScaleMode mode) {
    if (menu_ != nullptr) menu_->setMode(mode);
    mode_ = mode;
    placeScale();
}

void RulerWindow::stretch(int handle, int button, double x, double y) {
    const auto resize = handleDrag_.move(handle, button, x, y, length_);
    if (!resize) return;
    setPlace(edge_ + resize->edgeShift, static_cast<std::int32_t>(std::lround(resize->length)));
}

void RulerWindow::startMove(QPoint globalPx) {
    // The program's own move loop: the window follows the pointer while the button is held (the
    // press holds the pointer for this window), across the axis only while a lock is in force.
    moveGrab_ = globalPx;
    moveStart_ = QPoint(edge_, across_);
}

void RulerWindow::moveBy(QPoint globalPx) {
    if (!moveGrab_) return;
    const QPoint delta = globalPx - *moveGrab_;
    const int alongDelta = axis_ == Axis::Horizontal ? delta.x() : delta.y();
    const int acrossDelta = axis_ == Axis::Horizontal ? delta.y() : delta.x();
    if (lock_.lock == RulerLock::Free) edge_ = moveStart_.x() + alongDelta;
    across_ = moveStart_.y() + acrossDelta;
    placeWindow();
    rulerMoved();
}

void RulerWindow::keyPressEvent(QKeyEvent* event) {
    // An arrow key moves the ruler a pixel, ten with SHIFT; along its axis only while it is free,
    // as a drag of the title strip.
    const int key = event->key();
    const int dx = key == Qt::Key_Right ? 1 : key == Qt::Key_Left ? -1 : 0;
    const int dy = key == Qt::Key_Down ? 1 : key == Qt::Key_Up ? -1 : 0;
    if (dx == 0 && dy == 0) {
        QWidget::keyPressEvent(event);
        return;
    }
    const int step = (event->modifiers() & Qt::ShiftModifier) ? 10 : 1;
    const bool horizontal = axis_ == Axis::Horizontal;
    if (lock_.lock == RulerLock::Free) edge_ += (horizontal ? dx : dy) * step;
    across_ += (horizontal ? dy : dx) * step;
    placeWindow();
    rulerMoved();
}

void RulerWindow::showPointer(std::int32_t highlight, std::optional<std::pair<int, int>> measure) {
    scale_->setHighlight(highlight);
    scale_->setMeasure(measure);
}

void RulerWindow::showReadout(const PointerReadout& r) {
    if (position_ == nullptr) return;
    // Compared as they came, so a still pointer costs no text conversion.
    // The measure read-out is fitted again only when its text changed or the co-ordinates grew
    // or shrank beside it, not on every move of the pointer.
    const int positionWidth = position_->width();
    if (r.mousePosition != shown_.mousePosition) {
        position_->setText(QString::fromStdString(r.mousePosition));
        position_->adjustSize();
    }
    const bool measured = r.measure != shown_.measure;
    shown_ = r;
    if (measured || position_->width() != positionWidth) fitMeasure();
    if (measure_->isVisibleTo(titleStrip_) != r.measureShown) measure_->setVisible(r.measureShown);
}

void RulerWindow::fitMeasure() {
    const PointerReadout& r = shown_;
    // Beside the co-ordinates, never over the lock buttons: without room for the size on a
    // scaled monitor, the pixels alone are shown and the whole read-out is in the tip.
    const QString full = QString::fromStdString(r.measure);
    const QString pixels =
        QString::fromStdString(measureCaption(r.measureWidth, r.measureHeight, 1));
    const int left = position_->geometry().right() + 1 + kReadoutGap;
    const int room = controlBox_->x() - kReadoutGap - left;
    measure_->setText(full);
    measure_->adjustSize();
    if (measure_->width() > room && full != pixels) {
        measure_->setText(pixels);
        measure_->adjustSize();
    }
    measure_->setToolTip(measure_->text() == full ? QString("Measured Area Dimensions")
                                                  : "Measured Area Dimensions: " + full);
    measure_->move(left, 0);
}

}  // namespace sw
