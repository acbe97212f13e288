// What a ruler does: locks and following, the scale mode, moving and
// stretching, the caption colour, and the pointer tick that shows the
// co-ordinates and measures.
#include <cmath>

#include <QAbstractButton>
#include <QApplication>
#include <QButtonGroup>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QToolButton>

#include "app/numbers.h"
#include "mainwindow/form1.h"
#include "platform/qt/nativehandle.h"
#include "rulers/frmruler.h"
#include "rulers/rulerparts.h"

namespace sw {

void frmRuler::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    mMarkAgain = true;
}

void frmRuler::Active(bool isActive) {
    // Window managers may drop the states set before mapping when they take the
    // window on; by the monitor's next poll the window is theirs to tell again.
    if (mMarkAgain && isVisible()) {
        mMarkAgain = false;
        desktop_.windows.markToolWindow(nativeHandle(this));
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

void frmRuler::RulerMoved() {
    // A locked ruler is held on its line by the move loop itself (the title
    // strip moves it only across its axis), so nothing here moves the pointer.
    PositionLegend();
}

void frmRuler::optLock_Click(std::int32_t mode) {
    SetLockMode(mode);
}

void frmRuler::SetLockMode(std::int32_t newMode) {
    const Rect target = newMode == kLockWindow ? desktop_.windows.windowRect(g_.gTargetHwnd) : Rect{};
    const LockOutcome out = sw::SetLockMode(axis_, mLock, currentPlace(), newMode, mScreen, target);
    mLock = out.state;
    if (out.refusedMinimised) {
        if (lockRefusal == nullptr) {
            lockRefusal = new QMessageBox(QMessageBox::NoIcon, kAppTitle, kCannotLockMinimised, QMessageBox::Ok, this);
            lockRefusal->setAttribute(Qt::WA_DeleteOnClose);
            connect(lockRefusal, &QObject::destroyed, this, [this] { lockRefusal = nullptr; });
        }
        // Modal, but the program's timers keep running behind it.
        lockRefusal->open();
    }
    if (out.place) {
        setPlace(out.place->edge / TwipsPerPixel(axis_, mScreen), static_cast<std::int32_t>(out.place->length));
    }
    const bool free = mLock.mLockMode == kLockFree;
    picDrag[0]->setVisible(free);
    picDrag[1]->setVisible(free);
    if (out.switched) PositionLegend();
    if (QAbstractButton* b = lockGroup_->button(mLock.mLockMode)) b->setChecked(true);
    cmdFocus->setFocus(Qt::OtherFocusReason);
}

void frmRuler::tmrWindowPosition_Timer(const Rect& target) {
    // Runs only while locked to the active window, on the rectangle the
    // monitor has just read: following costs no read of its own.
    if (!mLoaded || mLock.mLockMode != kLockWindow) return;
    if (const auto place = mFollower.Tick(axis_, mLock.mLockMode, target, mScreen)) FollowTo(*place);
}

void frmRuler::FollowTo(const RulerPlace& place) {
    setPlace(place.edge / TwipsPerPixel(axis_, mScreen), static_cast<std::int32_t>(place.length));
    PositionLegend();
}

void frmRuler::cmdMenu_Click() {
    cmdFocus->setFocus(Qt::OtherFocusReason);
    const QPoint at = cmdMenu->mapToGlobal(QPoint(0, cmdMenu->height()));
    MenuControl1->MenuPopup->popup(at);
}

void frmRuler::ApplyScaleMode(std::int32_t mode) {
    MenuControl1->ChangeMode(mode);
    g_.gRulerMode = mode;
    PositionLegend();
    if (vertical() != nullptr) vertical()->PositionLegend();
}

void frmRuler::cmdClose_Click() {
    if (g_.gMainForm != nullptr) g_.gMainForm->ShowRulers(false);
}

void frmRuler::picDrag_MouseDown(int, int button, double x, double y) { mHandleDrag.MouseDown(button, x, y); }

void frmRuler::picDrag_MouseUp(int) { mHandleDrag.MouseUp(); }

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

void frmRuler::picTitlebar_MouseUp() { mTitlebarDownPos.reset(); }

void frmRuler::setHighlight(std::int32_t pos) {
    if (pos == mHighlight) return;
    const std::int32_t old = mHighlight;
    mHighlight = pos;
    picLegend->updateAt(old + mLegendOffset);
    picLegend->updateAt(pos + mLegendOffset);
}

void frmRuler::setMeasure(std::optional<std::pair<std::int32_t, std::int32_t>> line) {
    if (line == mMeasure) return;
    if (mMeasure) picLegend->updateSpan(mMeasure->first + mLegendOffset, mMeasure->second + mLegendOffset);
    mMeasure = line;
    if (mMeasure) picLegend->updateSpan(mMeasure->first + mLegendOffset, mMeasure->second + mLegendOffset);
}

void frmRuler::tmrMousePosition_Timer() {
    frmRuler* vert = vertical();
    if (vert == nullptr) return;
    // The first tick throws one reading away, so that a click made before the
    // rulers existed does not count.
    if (mTracker.PrimeKeys()) desktop_.pointer.readPointer();
    const PointerSnapshot snap = desktop_.pointer.readPointer();
    const RulerOrigin origin{static_cast<double>(mEdge), static_cast<double>(vert->mEdge)};
    const PointerReadout r = mTracker.Tick(snap, g_.gRulerMode, origin);

    setHighlight(r.pos.x);
    vert->setHighlight(r.pos.y);
    if (r.lines.visible) {
        setMeasure(std::pair{r.lines.start.x, r.lines.end.x});
        vert->setMeasure(std::pair{r.lines.start.y, r.lines.end.y});
    } else {
        setMeasure(std::nullopt);
        vert->setMeasure(std::nullopt);
    }
    // Compared as they came, so a still pointer costs no text conversion.
    if (r.mousePosition != mShownPosition) {
        mShownPosition = r.mousePosition;
        lblMousePosition->setText(QString::fromStdString(mShownPosition));
    }
    if (r.measure != mShownMeasure) {
        mShownMeasure = r.measure;
        lblMeasure->setText(QString::fromStdString(mShownMeasure));
    }
    if (lblMeasure->isVisibleTo(picTitlebar) != r.measureShown) lblMeasure->setVisible(r.measureShown);
}

}  // namespace sw
