// What a ruler does: locks and following, the scale mode, moving and
// stretching, the caption colour, and showing what the pointer work found.
#include <cmath>

#include <QAbstractButton>
#include <QApplication>
#include <QButtonGroup>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>

#include "appinfo.h"
#include "frmruler.h"
#include "monitorgeometry.h"
#include "nativehandle.h"
#include "rulerparts.h"
#include "target.h"

namespace sw {

void frmRuler::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    mMarkAgain = true;
}

void frmRuler::Active(bool isActive) {
    // Window managers may drop the states set before mapping when they take the
    // window on; by the monitor's next reading the window is theirs to tell again.
    if (mMarkAgain && isVisible()) {
        mMarkAgain = false;
        windows_.markToolWindow(nativeHandle(this));
    }
    if (mActive == isActive) return;
    mActive = isActive;
    ColourCaption();
}

void frmRuler::ColourCaption() {
    // The desktop's colours for a focused selection and for a quiet frame stand
    // in for the active and inactive caption colours.
    const QPalette system = QApplication::palette();
    QPalette pal = picTitlebar->palette();
    pal.setColor(QPalette::Window, mActive ? system.color(QPalette::Active, QPalette::Highlight)
                                           : system.color(QPalette::Inactive, QPalette::Mid));
    picTitlebar->setPalette(pal);
}

Rect frmRuler::monitorUnder() const {
    const std::int32_t half = Thickness(axis_) / 2;
    const std::int32_t alongCentre = static_cast<std::int32_t>(mEdge + std::int64_t{mLength} / 2);
    const Point centre = axis_ == Axis::Horizontal ? Point{alongCentre, mAcross + half}
                                                   : Point{mAcross + half, alongCentre};
    return MonitorAt(mScreen.monitors, centre);
}

void frmRuler::FollowMonitor() {
    // A ruler locked to the screen takes the span of the monitor it has come to.
    if (mLock.mLockMode != kLockScreen) return;
    const Rect monitor = monitorUnder();
    if (StartEdge(axis_, monitor) == mEdge && Extent(axis_, monitor) == mLength) return;
    setPlace(StartEdge(axis_, monitor), static_cast<std::int32_t>(Extent(axis_, monitor)));
}

void frmRuler::RulerMoved() {
    // A locked ruler is held on its line by the move loop itself (the title
    // strip moves it only across its axis), so nothing here moves the pointer.
    FollowMonitor();
    PositionLegend();
    emit moved();
}

void frmRuler::optLock_Click(std::int32_t mode) {
    SetLockMode(mode);
}

void frmRuler::SetLockMode(std::int32_t newMode) {
    const Rect target =
        newMode == kLockWindow ? ShownRect(windows_.describeWindow(target_.window())) : Rect{};
    const LockOutcome out =
        sw::SetLockMode(axis_, mLock, currentPlace(), newMode, mScreen, monitorUnder(), target);
    mLock = out.state;
    if (out.refusedMinimised) RefuseLock();
    if (out.place) {
        setPlace(out.place->edge / TwipsPerPixel(axis_, mScreen),
                 static_cast<std::int32_t>(out.place->length));
    }
    const bool free = mLock.mLockMode == kLockFree;
    for (DragHandle* handle : picDrag) handle->setVisible(free);
    if (out.switched) PositionLegend();
    if (QAbstractButton* b = lockGroup_->button(mLock.mLockMode)) b->setChecked(true);
    cmdFocus->setFocus(Qt::OtherFocusReason);
}

void frmRuler::RefuseLock() {
    QMessageBox* box = lockRefusal;
    if (box == nullptr) {
        box = new QMessageBox(QMessageBox::NoIcon, kAppTitle, kCannotLockMinimised, QMessageBox::Ok,
                              this);
        box->setAttribute(Qt::WA_DeleteOnClose);
        lockRefusal = box;
    }
    // Modal, but the program's timers keep running behind it.
    box->open();
}

void frmRuler::FollowTarget(const Rect& shown) {
    // On the rectangle the monitor has just read: following costs no read of its
    // own. The follower moves the ruler only while it is locked to the window.
    if (!mLoaded) return;
    const auto place = mFollower.Tick(axis_, mLock.mLockMode, shown, mScreen);
    if (!place) return;
    setPlace(place->edge / TwipsPerPixel(axis_, mScreen), static_cast<std::int32_t>(place->length));
    PositionLegend();
}

void frmRuler::cmdMenu_Click() {
    cmdFocus->setFocus(Qt::OtherFocusReason);
    MenuControl1->MenuPopup->popup(cmdMenu->mapToGlobal(QPoint(0, cmdMenu->height())));
}

void frmRuler::ApplyScaleMode(std::int32_t mode) {
    if (MenuControl1 != nullptr) MenuControl1->ChangeMode(mode);
    mMode = mode;
    PositionLegend();
}

void frmRuler::picDrag_MouseMove(int index, int button, double x, double y) {
    const auto resize = mHandleDrag.MouseMove(index, button, x, y, mLength);
    if (!resize) return;
    setPlace(mEdge + resize->edgeShift, static_cast<std::int32_t>(std::lround(resize->length)));
}

void frmRuler::picTitlebar_MouseDown(QPoint globalPx) {
    // The program's own move loop: the window follows the pointer while the
    // button is held (the press holds the pointer for this window), across the
    // axis only while a lock is in force.
    mTitlebarDownPos = globalPx;
    mMoveStart = QPoint(mEdge, mAcross);
}

void frmRuler::picTitlebar_MouseMove(QPoint globalPx) {
    if (!mTitlebarDownPos) return;
    const QPoint delta = globalPx - *mTitlebarDownPos;
    const int alongDelta = axis_ == Axis::Horizontal ? delta.x() : delta.y();
    const int acrossDelta = axis_ == Axis::Horizontal ? delta.y() : delta.x();
    if (mLock.mLockMode == kLockFree) mEdge = mMoveStart.x() + alongDelta;
    mAcross = mMoveStart.y() + acrossDelta;
    placeWindow();
    RulerMoved();
}

void frmRuler::setHighlight(std::int32_t pos) {
    picLegend->setHighlight(pos);
}

void frmRuler::setMeasure(std::optional<std::pair<std::int32_t, std::int32_t>> line) {
    picLegend->setMeasure(line);
}

void frmRuler::ShowReadout(const PointerReadout& r) {
    if (lblMousePosition == nullptr) return;
    // Compared as they came, so a still pointer costs no text conversion.
    if (r.mousePosition != mShownPosition) {
        mShownPosition = r.mousePosition;
        lblMousePosition->setText(QString::fromStdString(mShownPosition));
    }
    if (r.measure != mShownMeasure) {
        mShownMeasure = r.measure;
        lblMeasure->setText(QString::fromStdString(mShownMeasure));
        lblMeasure->adjustSize();
    }
    if (lblMeasure->isVisibleTo(picTitlebar) != r.measureShown)
        lblMeasure->setVisible(r.measureShown);
}

}  // namespace sw
