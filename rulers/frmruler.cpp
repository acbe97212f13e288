// A ruler's construction, layout, scale strip and settings.
#include "rulers/frmruler.h"

#include <cmath>

#include <QAction>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QFontMetricsF>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>

#include "app/numbers.h"
#include "platform/qt/nativehandle.h"
#include "app/windowutils.h"
#include "control/settings.h"
#include "rulers/rulerparts.h"
#include "rulers/rulerglyphs.h"

namespace sw {
namespace {

// Design sizes in the ruler's own (device independent) pixels.
constexpr int kHandleThickness = 10;  // along the axis
constexpr int kHandleBreadth = 24;    // across it
constexpr int kTitleBreadth = 25;
constexpr int kButtonSize = 21;
constexpr int kControlBoxLength = 85;  // the close button's far edge
constexpr int kLegendBreadthH = 17;
constexpr int kLegendBreadthV = 33;
constexpr QRgb kRegionColour = qRgb(0, 255, 255);

}  // namespace

MenuControl::MenuControl(QWidget* owner) {
    MenuPopup = new QMenu("PopUp", owner);
    QMenu* mnuPopupMode = MenuPopup->addMenu("Mode");
    mnuPopupModeRelative = mnuPopupMode->addAction("Relative");
    mnuPopupModeAbsolute = mnuPopupMode->addAction("Absolute");
    for (QAction* a : {mnuPopupModeRelative, mnuPopupModeAbsolute}) a->setCheckable(true);
    mnuPopupModeRelative->setChecked(true);
    // Qt toggles a checkable entry when it is chosen; the marks show only what
    // ChangeMode last set, so the toggle is undone before the choice is reported.
    QObject::connect(mnuPopupModeAbsolute, &QAction::triggered, MenuPopup, [this] {
        mnuPopupModeAbsolute->setChecked(!mnuPopupModeAbsolute->isChecked());
        if (ModeChanged) ModeChanged(1);
    });
    QObject::connect(mnuPopupModeRelative, &QAction::triggered, MenuPopup, [this] {
        mnuPopupModeRelative->setChecked(!mnuPopupModeRelative->isChecked());
        if (ModeChanged) ModeChanged(0);
    });
}

void MenuControl::ChangeMode(std::int32_t mode) {
    mnuPopupModeRelative->setChecked(mode == 0);
    mnuPopupModeAbsolute->setChecked(mode != 0);
}

frmRuler::frmRuler(Axis axis, Module1& g, Desktop& desktop)
    // A window of its own rather than a Qt::Tool: Qt makes tool windows transient
    // for the program, and window managers then keep them above the main window.
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                           Qt::NoDropShadowWindowHint),
      axis_(axis),
      g_(g),
      desktop_(desktop),
      mHandleDrag(axis) {
    const bool horizontal = axis == Axis::Horizontal;
    setObjectName(horizontal ? "frmHorizRuler" : "frmVertRuler");
    setWindowTitle(horizontal ? "Sizewise Horizontal Ruler" : "Sizewise Vertical Ruler");
    createControls();
}

// The menu's QMenu belongs to the window; the small holder of its actions does not.
frmRuler::~frmRuler() { delete MenuControl1; }

double frmRuler::dpr() const { return devicePixelRatioF(); }

int frmRuler::logical(double px) const { return static_cast<int>(std::lround(px / dpr())); }

frmRuler* frmRuler::vertical() const { return g_.gVertRuler; }

void frmRuler::createControls() {
    const bool horizontal = axis_ == Axis::Horizontal;
    picRegion = new QWidget(this);
    picRegion->setAutoFillBackground(true);
    QPalette region = picRegion->palette();
    region.setColor(QPalette::Window, QColor(kRegionColour));
    picRegion->setPalette(region);

    picTitlebar = new TitleStrip(*this, picRegion);
    ColourCaption();  // the inactive caption's colour until the monitor says otherwise
    picLegend = new ScaleStrip(*this, picRegion);
    picLegend->setToolTip("Scale - SHIFT+LEFT CLICK to measure");

    picControlBox = new QWidget(picTitlebar);
    lockGroup_ = new QButtonGroup(this);
    lockGroup_->setExclusive(true);
    const struct {
        QToolButton** button;
        const char* tip;
        QIcon icon;
        std::int32_t mode;
    } locks[] = {{&optLockScreen, "Lock Ruler to Screen", rulerglyphs::LockScreen(), kLockScreen},
                 {&optLockWindow, "Lock Ruler to Active Window", rulerglyphs::LockWindow(), kLockWindow},
                 {&optLockFree, "Remove Ruler Lock", rulerglyphs::LockFree(), kLockFree}};
    int at = 0;
    for (const auto& lock : locks) {
        QToolButton* b = new QToolButton(picControlBox);
        b->setCheckable(true);
        b->setToolTip(lock.tip);
        b->setIcon(lock.icon);
        b->setIconSize(QSize(16, 16));
        b->setGeometry(horizontal ? QRect(at, 0, kButtonSize, kButtonSize) : QRect(0, at, kButtonSize, kButtonSize));
        lockGroup_->addButton(b, lock.mode);
        const std::int32_t mode = lock.mode;
        connect(b, &QToolButton::clicked, this, [this, mode] { optLock_Click(mode); });
        *lock.button = b;
        at += kButtonSize;
    }
    optLockFree->setChecked(true);

    for (int i = 0; i < 2; ++i) {
        picDrag[i] = new DragHandle(*this, i, picRegion);
        picDrag[i]->setCursor(horizontal ? Qt::SizeHorCursor : Qt::SizeVerCursor);
    }

    // Outside the visible window: it only ever holds the focus.
    cmdFocus = new QPushButton("cmdFocus", this);
    cmdFocus->setGeometry(-200, -200, 20, 20);

    if (horizontal) {
        createTitleControls();
        picControlBox->resize(kControlBoxLength, kButtonSize);
    } else {
        picControlBox->setGeometry(0, 16, kButtonSize, 3 * kButtonSize);
    }
}

void frmRuler::createTitleControls() {
    QFont small = font();
    small.setPixelSize(10);
    cmdMenu = new QPushButton("Menu", picTitlebar);
    cmdMenu->setGeometry(8, 0, 41, 17);
    cmdMenu->setFont(small);
    connect(cmdMenu, &QPushButton::clicked, this, [this] { cmdMenu_Click(); });

    cmdClose = new QToolButton(picControlBox);
    cmdClose->setGeometry(64, 0, kButtonSize, kButtonSize);
    cmdClose->setIcon(rulerglyphs::Close());
    cmdClose->setIconSize(QSize(16, 16));
    cmdClose->setToolTip("Hide Rulers");
    connect(cmdClose, &QToolButton::clicked, this, [this] { cmdClose_Click(); });

    lblMousePosition = new QLabel("8888,8888", picTitlebar);
    lblMousePosition->setGeometry(56, 0, 55, 13);
    lblMousePosition->setStyleSheet("color: rgb(255, 255, 0); background: transparent;");
    lblMousePosition->setToolTip("Cursor Co-ordinates");
    lblMeasure = new QLabel("8888 X 8888", picTitlebar);
    lblMeasure->setGeometry(120, 0, 67, 13);
    lblMeasure->setStyleSheet("color: rgb(0, 255, 255); background: transparent;");
    lblMeasure->setToolTip("Measured Area Dimensions");
    lblMeasure->hide();
    for (QLabel* label : {lblMousePosition, lblMeasure}) {
        label->setFont(small);
        // A press on a read-out is a press on the title strip.
        label->setAttribute(Qt::WA_TransparentForMouseEvents);
    }

    MenuControl1 = new MenuControl(this);
    MenuControl1->ModeChanged = [this](std::int32_t mode) { ApplyScaleMode(mode); };
    tmrMousePosition = new QTimer(this);
    tmrMousePosition->setInterval(10);
    connect(tmrMousePosition, &QTimer::timeout, this, [this] { tmrMousePosition_Timer(); });
}

void frmRuler::Form_Load() {
    if (mLoaded) return;
    mLoaded = true;
    mScreen = desktop_.screen.metrics();
    // Built once for the whole screen and slid as one piece afterwards.
    mStripLength = ScreenLength(axis_, mScreen);
    LoadRulerConfig();
    desktop_.windows.markToolWindow(static_cast<WindowId>(winId()));
    SetTopmost(desktop_.windows, this, true);
    picRegion_Resize();
    DrawScale();
    if (tmrMousePosition != nullptr) tmrMousePosition->start();
}

void frmRuler::Unload() {
    if (tmrMousePosition != nullptr) tmrMousePosition->stop();
    hide();
}

void frmRuler::LoadRulerConfig() {
    SettingsStore& store = desktop_.settings;
    const StoredRuler stored = ReadRulerConfig(store, axis_, mScreen);
    const Axis across = axis_ == Axis::Horizontal ? Axis::Vertical : Axis::Horizontal;
    mAcross = static_cast<std::int32_t>(RoundHalfEven(stored.across / TwipsPerPixel(across, mScreen)));
    mEdge = static_cast<std::int32_t>(RoundHalfEven(stored.place.edge / TwipsPerPixel(axis_, mScreen)));
    mLength = static_cast<std::int32_t>(RoundHalfEven(stored.place.length));
    if (axis_ == Axis::Horizontal) {
        g_.gRulerMode = ReadLong(store, RulerModeSetting());
        MenuControl1->ChangeMode(g_.gRulerMode);
    }
}

bool frmRuler::SaveRulerConfig() const {
    if (!mLoaded) return true;
    const Axis across = axis_ == Axis::Horizontal ? Axis::Vertical : Axis::Horizontal;
    const StoredRuler current{currentPlace(), mAcross * TwipsPerPixel(across, mScreen)};
    bool ok = WriteRulerConfig(desktop_.settings, axis_, RulerToSave(mLock, current));
    if (axis_ == Axis::Horizontal) ok = WriteLong(desktop_.settings, RulerModeSetting(), g_.gRulerMode) && ok;
    return ok;
}

RulerPlace frmRuler::currentPlace() const {
    return RulerPlace{mEdge * TwipsPerPixel(axis_, mScreen), static_cast<double>(mLength)};
}

void frmRuler::setPlace(double edgePx, std::int32_t length) {
    mEdge = static_cast<std::int32_t>(RoundHalfEven(edgePx));
    mLength = length;
    picRegion_Resize();
}

void frmRuler::picRegion_Resize() {
    PositionLegend();
    // The strip never shrinks; beyond the last tick it stays blank.
    if (mLength > mStripLength) mStripLength = mLength;
    const int len = logical(mLength);
    const bool horizontal = axis_ == Axis::Horizontal;
    const int thickness = Thickness(axis_);
    if (horizontal) {
        picRegion->setGeometry(0, 0, len, thickness);
        picTitlebar->setGeometry(0, 0, len, kTitleBreadth);
        picTitlebar_Resize();
        picLegend->setGeometry(0, 24, len, kLegendBreadthH);
        picDrag[0]->setGeometry(0, 10, kHandleThickness, kHandleBreadth);
        picDrag[1]->setGeometry(len - kHandleThickness, 10, kHandleThickness, kHandleBreadth);
    } else {
        picRegion->setGeometry(0, 0, thickness, len);
        picTitlebar->setGeometry(0, 0, kTitleBreadth, len);
        picLegend->setGeometry(24, 0, kLegendBreadthV, len);
        picDrag[0]->setGeometry(0, 0, kHandleBreadth + 1, kHandleThickness);
        picDrag[1]->setGeometry(0, len - kHandleThickness, kHandleBreadth + 1, kHandleThickness);
    }
    for (QWidget* w : {static_cast<QWidget*>(picDrag[0]), static_cast<QWidget*>(picDrag[1])}) w->raise();
    placeWindow();
}

void frmRuler::picTitlebar_Resize() {
    if (axis_ != Axis::Horizontal) return;
    picControlBox->move(picTitlebar->width() - picControlBox->width() - kHandleThickness - 5, 0);
}

void frmRuler::placeWindow() {
    const int len = logical(mLength);
    const QRect want = axis_ == Axis::Horizontal
                           ? QRect(logical(mEdge), logical(mAcross), len, Thickness(axis_))
                           : QRect(logical(mAcross), logical(mEdge), Thickness(axis_), len);
    if (geometry() != want) setGeometry(want);
}

void frmRuler::PositionLegend() {
    const double offset = sw::PositionLegend(g_.gRulerMode, mEdge * TwipsPerPixel(axis_, mScreen),
                                             TwipsPerPixel(axis_, mScreen));
    const auto px = static_cast<std::int32_t>(RoundHalfEven(offset));
    if (px == mLegendOffset) return;
    mLegendOffset = px;
    picLegend->update();
}

void frmRuler::DrawScale() {
    const double ratio = dpr();
    const QFont font = ScaleStrip::ScaleFont(ratio);
    const double templateExtent = axis_ == Axis::Horizontal ? QFontMetricsF(font).horizontalAdvance("8888")
                                                            : ScaleStrip::kNumberHeight * ratio;
    mMarks = LayOutScale(axis_, mStripLength, templateExtent);
    picLegend->Render(mMarks, mStripLength, ratio);
}

void frmRuler::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    QPoint px;
    if (event->spontaneous()) {
        // Moved by the window manager. While it frames a new window Qt can report
        // a passing place (the frame's corner before it is placed), so where the
        // window is comes from the window system itself.
        const Rect real = desktop_.windows.windowRect(nativeHandle(this));
        if (real == Rect{}) return;
        px = QPoint(real.left, real.top);
    } else {
        // At a ratio above 1 the window stands only on whole device-independent
        // pixels; the scale must count from where it really is.
        const double ratio = dpr();
        px = QPoint(static_cast<int>(std::lround(pos().x() * ratio)), static_cast<int>(std::lround(pos().y() * ratio)));
    }
    mEdge = axis_ == Axis::Horizontal ? px.x() : px.y();
    mAcross = axis_ == Axis::Horizontal ? px.y() : px.x();
    RulerMoved();
}

void frmRuler::closeEvent(QCloseEvent* event) {
    // The window manager's close hides both rulers, as the close button does.
    event->ignore();
    if (g_.gMainForm != nullptr) cmdClose_Click();
}

}  // namespace sw
