// A ruler's construction, layout, scale strip and stored place.
#include "frmruler.h"

#include <cmath>

#include <QAction>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QFontMetricsF>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QToolButton>
#include <QWindow>

#include "nativehandle.h"
#include "numbers.h"
#include "rulerglyphs.h"
#include "rulerparts.h"
#include "windowutils.h"

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

Axis acrossOf(Axis axis) {
    return axis == Axis::Horizontal ? Axis::Vertical : Axis::Horizontal;
}

}  // namespace

MenuControl::MenuControl(QWidget* owner) : QObject(owner) {
    MenuPopup = new QMenu("PopUp", owner);
    QMenu* mnuPopupMode = MenuPopup->addMenu("Mode");
    mnuPopupModeRelative = mnuPopupMode->addAction("Relative");
    mnuPopupModeAbsolute = mnuPopupMode->addAction("Absolute");
    for (QAction* a : {mnuPopupModeRelative, mnuPopupModeAbsolute}) a->setCheckable(true);
    mnuPopupModeRelative->setChecked(true);
    // Qt toggles a checkable entry when it is chosen; the marks show only what
    // ChangeMode last set, so the toggle is undone before the choice is reported.
    connect(mnuPopupModeAbsolute, &QAction::triggered, this, [this] {
        mnuPopupModeAbsolute->setChecked(!mnuPopupModeAbsolute->isChecked());
        emit ModeChanged(1);
    });
    connect(mnuPopupModeRelative, &QAction::triggered, this, [this] {
        mnuPopupModeRelative->setChecked(!mnuPopupModeRelative->isChecked());
        emit ModeChanged(0);
    });
}

void MenuControl::ChangeMode(std::int32_t mode) {
    mnuPopupModeRelative->setChecked(mode == 0);
    mnuPopupModeAbsolute->setChecked(mode != 0);
}

frmRuler::frmRuler(Axis axis, WindowSystem& windows, const Target& target)
    // A window of its own rather than a Qt::Tool: Qt makes tool windows transient
    // for the program, and window managers then keep them above the main window.
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                           Qt::NoDropShadowWindowHint),
      axis_(axis),
      windows_(windows),
      target_(target),
      mHandleDrag(axis) {
    const bool horizontal = axis == Axis::Horizontal;
    setObjectName(horizontal ? "frmHorizRuler" : "frmVertRuler");
    setWindowTitle(horizontal ? "Sizewise Horizontal Ruler" : "Sizewise Vertical Ruler");
    createControls();
}

frmRuler::~frmRuler() = default;

double frmRuler::dpr() const {
    return devicePixelRatioF();
}

int frmRuler::logical(double px) const {
    return static_cast<int>(std::lround(px / dpr()));
}

void frmRuler::createControls() {
    const bool horizontal = axis_ == Axis::Horizontal;
    picRegion = new QWidget(this);
    picRegion->setAutoFillBackground(true);
    QPalette region = picRegion->palette();
    region.setColor(QPalette::Window, QColor(kRegionColour));
    picRegion->setPalette(region);

    picTitlebar = new TitleStrip(picRegion);
    picTitlebar->setObjectName("picTitlebar");
    ColourCaption();  // the inactive caption's colour until the monitor says otherwise
    picLegend = new ScaleStrip(axis_, picRegion);
    picLegend->setToolTip("Scale - SHIFT+LEFT CLICK to measure");

    picControlBox = new QWidget(picTitlebar);
    createLockButtons();
    for (int i = 0; i < 2; ++i) {
        picDrag[i] = new DragHandle(axis_, picRegion);
        picDrag[i]->setObjectName(QString("picDrag%1").arg(i));
        picDrag[i]->setCursor(horizontal ? Qt::SizeHorCursor : Qt::SizeVerCursor);
    }
    connectHandles();

    // The focus sink: outside the visible window, it only ever holds the focus.
    cmdFocus = new QPushButton("cmdFocus", this);
    cmdFocus->setGeometry(-200, -200, 20, 20);
    setFocusProxy(cmdFocus);

    if (horizontal) {
        createTitleControls();
        picControlBox->resize(kControlBoxLength, kButtonSize);
    } else {
        picControlBox->setGeometry(0, 16, kButtonSize, 3 * kButtonSize);
    }
}

void frmRuler::createLockButtons() {
    lockGroup_ = new QButtonGroup(this);
    lockGroup_->setExclusive(true);
    const struct {
        const char* name;
        const char* tip;
        QIcon icon;
        std::int32_t mode;
    } locks[] = {
        {"optLockScreen", "Lock Ruler to Screen", rulerglyphs::LockScreen(), kLockScreen},
        {"optLockWindow", "Lock Ruler to Active Window", rulerglyphs::LockWindow(), kLockWindow},
        {"optLockFree", "Remove Ruler Lock", rulerglyphs::LockFree(), kLockFree}};
    int at = 0;
    for (const auto& lock : locks) {
        QToolButton* b = new QToolButton(picControlBox);
        b->setObjectName(lock.name);
        b->setCheckable(true);
        b->setToolTip(lock.tip);
        b->setAccessibleName(lock.tip);
        b->setIcon(lock.icon);
        b->setIconSize(QSize(16, 16));
        b->setGeometry(axis_ == Axis::Horizontal ? QRect(at, 0, kButtonSize, kButtonSize)
                                                 : QRect(0, at, kButtonSize, kButtonSize));
        lockGroup_->addButton(b, lock.mode);
        const std::int32_t mode = lock.mode;
        connect(b, &QToolButton::clicked, this, [this, mode] { optLock_Click(mode); });
        at += kButtonSize;
    }
    lockGroup_->button(kLockFree)->setChecked(true);
}

void frmRuler::connectHandles() {
    for (int i = 0; i < 2; ++i) {
        picDrag[i]->onPress = [this](int button, double x, double y) {
            mHandleDrag.MouseDown(button, x, y);
        };
        picDrag[i]->onMove = [this, i](int button, double x, double y) {
            picDrag_MouseMove(i, button, x, y);
        };
        picDrag[i]->onRelease = [this] { mHandleDrag.MouseUp(); };
    }
    picTitlebar->onPress = [this](QPoint at) { picTitlebar_MouseDown(at); };
    picTitlebar->onMove = [this](QPoint at) { picTitlebar_MouseMove(at); };
    picTitlebar->onRelease = [this] { mTitlebarDownPos.reset(); };
}

void frmRuler::createTitleControls() {
    QFont small = font();
    small.setPixelSize(10);
    cmdMenu = new QPushButton("Menu", picTitlebar);
    cmdMenu->setObjectName("cmdMenu");
    cmdMenu->setGeometry(8, 0, 41, 17);
    cmdMenu->setFont(small);
    connect(cmdMenu, &QPushButton::clicked, this, &frmRuler::cmdMenu_Click);

    cmdClose = new QToolButton(picControlBox);
    cmdClose->setObjectName("cmdClose");
    cmdClose->setGeometry(64, 0, kButtonSize, kButtonSize);
    cmdClose->setIcon(rulerglyphs::Close());
    cmdClose->setIconSize(QSize(16, 16));
    cmdClose->setToolTip("Hide Rulers");
    cmdClose->setAccessibleName("Hide Rulers");
    connect(cmdClose, &QToolButton::clicked, this, &frmRuler::closeClicked);

    lblMousePosition = new QLabel("8888,8888", picTitlebar);
    lblMousePosition->setObjectName("lblMousePosition");
    lblMousePosition->setGeometry(56, 0, 55, 13);
    lblMousePosition->setStyleSheet("color: rgb(255, 255, 0); background: transparent;");
    lblMousePosition->setToolTip("Cursor Co-ordinates");
    lblMousePosition->setAccessibleDescription("Cursor Co-ordinates");
    lblMeasure = new QLabel("8888 X 8888", picTitlebar);
    lblMeasure->setObjectName("lblMeasure");
    lblMeasure->setGeometry(120, 0, 67, 13);
    lblMeasure->setStyleSheet("color: rgb(0, 255, 255); background: transparent;");
    lblMeasure->setToolTip("Measured Area Dimensions");
    lblMeasure->setAccessibleDescription("Measured Area Dimensions");
    lblMeasure->hide();
    for (QLabel* label : {lblMousePosition, lblMeasure}) {
        label->setFont(small);
        // A press on a read-out is a press on the title strip.
        label->setAttribute(Qt::WA_TransparentForMouseEvents);
    }

    MenuControl1 = new MenuControl(this);
    connect(MenuControl1, &MenuControl::ModeChanged, this, &frmRuler::modeChosen);
}

void frmRuler::Form_Load(const ScreenMetrics& screen, const StoredRuler& stored,
                         std::int32_t mode) {
    if (mLoaded) return;
    mLoaded = true;
    mScreen = screen;
    mMode = mode;
    if (MenuControl1 != nullptr) MenuControl1->ChangeMode(mode);
    // Built once for the whole screen and slid as one piece afterwards.
    mStripLength = ScreenLength(axis_, mScreen);
    mAcross = static_cast<std::int32_t>(
        RoundHalfEven(stored.across / TwipsPerPixel(acrossOf(axis_), mScreen)));
    mEdge =
        static_cast<std::int32_t>(RoundHalfEven(stored.place.edge / TwipsPerPixel(axis_, mScreen)));
    mLength = static_cast<std::int32_t>(RoundHalfEven(stored.place.length));
    windows_.markToolWindow(static_cast<WindowId>(winId()));
    // On a monitor of another device pixel ratio the same pixels are another
    // size in Qt's co-ordinates, and the scale is drawn for the new ratio.
    connect(windowHandle(), &QWindow::screenChanged, this, [this] {
        picRegion_Resize();
        DrawScale();
    });
    SetTopmost(windows_, this, true);
    picRegion_Resize();
    DrawScale();
}

void frmRuler::ScreenChanged(const ScreenMetrics& screen) {
    mScreen = screen;
    if (!mLoaded) return;
    const double tppAcross = TwipsPerPixel(acrossOf(axis_), mScreen);
    const StoredRuler onto =
        BringOntoMonitor(axis_, StoredRuler{currentPlace(), mAcross * tppAcross}, mScreen);
    mAcross = static_cast<std::int32_t>(RoundHalfEven(onto.across / tppAcross));
    setPlace(onto.place.edge / TwipsPerPixel(axis_, mScreen), mLength);
    FollowMonitor();
    if (ScreenLength(axis_, mScreen) > mStripLength) {
        mStripLength = ScreenLength(axis_, mScreen);
        DrawScale();
    }
}

StoredRuler frmRuler::RulerToSave() const {
    const StoredRuler current{currentPlace(), mAcross * TwipsPerPixel(acrossOf(axis_), mScreen)};
    return sw::RulerToSave(mLock, current);
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
    const int thickness = Thickness(axis_);
    if (axis_ == Axis::Horizontal) {
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
    for (DragHandle* handle : picDrag) handle->raise();
    placeWindow();
}

void frmRuler::picTitlebar_Resize() {
    if (axis_ != Axis::Horizontal) return;
    picControlBox->move(picTitlebar->width() - picControlBox->width() - kHandleThickness - 5, 0);
}

void frmRuler::placeWindow() {
    const int len = logical(mLength);
    const QPoint at =
        ToQt(axis_ == Axis::Horizontal ? Point{mEdge, mAcross} : Point{mAcross, mEdge});
    const QRect want = axis_ == Axis::Horizontal ? QRect(at, QSize(len, Thickness(axis_)))
                                                 : QRect(at, QSize(Thickness(axis_), len));
    if (geometry() != want) setGeometry(want);
}

void frmRuler::PositionLegend() {
    const double offset = sw::PositionLegend(mMode, mEdge * TwipsPerPixel(axis_, mScreen),
                                             TwipsPerPixel(axis_, mScreen));
    picLegend->setOffset(static_cast<std::int32_t>(RoundHalfEven(offset)));
}

std::int32_t frmRuler::legendOffset() const {
    return picLegend->offset();
}

std::int32_t frmRuler::highlight() const {
    return picLegend->highlight();
}

std::optional<std::pair<std::int32_t, std::int32_t>> frmRuler::measureLine() const {
    return picLegend->measure();
}

void frmRuler::DrawScale() {
    const double ratio = dpr();
    const QFont font = ScaleStrip::ScaleFont(ratio);
    const double templateExtent = axis_ == Axis::Horizontal
                                      ? QFontMetricsF(font).horizontalAdvance("8888")
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
        const Rect real = windows_.windowRect(nativeHandle(this));
        if (real == Rect{}) return;
        px = QPoint(real.left, real.top);
    } else {
        // At a ratio above 1 the window stands only on whole device-independent
        // pixels; the scale must count from where it really is.
        const Point at = FromQt(pos());
        px = QPoint(at.x, at.y);
    }
    mEdge = axis_ == Axis::Horizontal ? px.x() : px.y();
    mAcross = axis_ == Axis::Horizontal ? px.y() : px.x();
    RulerMoved();
}

void frmRuler::closeEvent(QCloseEvent* event) {
    // The window manager's close hides both rulers, as the close button does.
    event->ignore();
    emit closeClicked();
}

}  // namespace sw
