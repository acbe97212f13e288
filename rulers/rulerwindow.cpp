// A ruler's construction, layout, scale strip and stored place.
#include "rulerwindow.h"

#include <cmath>

#include <QAbstractButton>
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
#include "screenmodel.h"
#include "widgets.h"
#include "windowutils.h"

namespace sw {
namespace {

// Design sizes in the ruler's own (device independent) pixels.
constexpr int kHandleThickness = 10;  // along the axis
constexpr int kHandleBreadth = 24;    // across it
constexpr int kTitleBreadth = 25;
constexpr int kButtonSize = 21;
constexpr int kControlBoxLength = 85;  // the close button's far edge
constexpr int kScaleBreadthH = 17;
constexpr int kScaleBreadthV = 33;
constexpr QRgb kRegionColour = qRgb(0, 255, 255);
// Where the read-outs start, right of "Menu".
constexpr int kReadoutLeft = 56;

}  // namespace

ScaleModeMenu::ScaleModeMenu(QWidget* owner) : QObject(owner), menu_(new QMenu("PopUp", owner)) {
    QMenu* mode = menu_->addMenu("Mode");
    relative_ = mode->addAction("Relative");
    absolute_ = mode->addAction("Absolute");
    for (QAction* a : {relative_, absolute_}) a->setCheckable(true);
    relative_->setChecked(true);
    // Qt toggles a checkable entry when it is chosen; the marks show only what setMode last set,
    // so the toggle is undone before the choice is reported.
    connect(absolute_, &QAction::triggered, this, [this] {
        absolute_->setChecked(!absolute_->isChecked());
        emit chosen(ScaleMode::Absolute);
    });
    connect(relative_, &QAction::triggered, this, [this] {
        relative_->setChecked(!relative_->isChecked());
        emit chosen(ScaleMode::Relative);
    });
    measure_ = menu_->addAction("Measure");
    measure_->setVisible(false);
    connect(measure_, &QAction::triggered, this, &ScaleModeMenu::measureChosen);
}

void ScaleModeMenu::offerMeasure(bool offered) {
    measure_->setVisible(offered);
}

void ScaleModeMenu::setMode(ScaleMode mode) {
    relative_->setChecked(mode == ScaleMode::Relative);
    absolute_->setChecked(mode == ScaleMode::Absolute);
}

void ScaleModeMenu::popup(QPoint at) {
    menu_->popup(at);
}

RulerWindow::RulerWindow(Axis axis, WindowSystem& windows, const ScreenModel& screen,
                         const Target& target)
    // A window of its own rather than a Qt::Tool: Qt makes tool windows transient for the
    // program, and window managers then keep them above the main window.
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                           Qt::NoDropShadowWindowHint),
      axis_(axis),
      windows_(windows),
      screen_(screen),
      target_(target),
      handleDrag_(axis) {
    const bool horizontal = axis == Axis::Horizontal;
    setObjectName(horizontal ? "horizontalRuler" : "verticalRuler");
    setWindowTitle(horizontal ? "Sizewise Horizontal Ruler" : "Sizewise Vertical Ruler");
    // Another window is active nearly always while the rulers are used.
    setAttribute(Qt::WA_AlwaysShowToolTips);
    createControls();
    connect(&screen, &ScreenModel::changed, this, &RulerWindow::followScreen);
}

RulerWindow::~RulerWindow() = default;

int RulerWindow::logical(double px) const {
    return static_cast<int>(std::lround(px / devicePixelRatioF()));
}

void RulerWindow::createControls() {
    region_ = new QWidget(this);
    region_->setAutoFillBackground(true);
    QPalette region = region_->palette();
    region.setColor(QPalette::Window, QColor(kRegionColour));
    region_->setPalette(region);

    titleStrip_ = new TitleStrip(region_);
    titleStrip_->setObjectName("titleStrip");
    colourCaption();  // the inactive caption's colour until a reading says otherwise
    scale_ = new ScaleStrip(axis_, region_);
    scale_->setObjectName("scale");
    scale_->setToolTip("Scale - SHIFT+LEFT CLICK to measure");

    controlBox_ = new QWidget(titleStrip_);
    createLockButtons();
    for (int i = 0; i < 2; ++i) {
        handles_[i] = new DragHandle(axis_, region_);
        handles_[i]->setObjectName(i == 0 ? "startHandle" : "endHandle");
        handles_[i]->setCursor(axis_ == Axis::Horizontal ? Qt::SizeHorCursor : Qt::SizeVerCursor);
    }
    connectHandles();

    if (axis_ == Axis::Horizontal) {
        createTitleControls();
        controlBox_->resize(kControlBoxLength, kButtonSize);
    } else {
        controlBox_->setGeometry(0, 16, kButtonSize, 3 * kButtonSize);
    }
    // Buttons take the focus by Tab alone; a click leaves it on the ruler, whose arrow keys move
    // it. On a button the arrow keys move the focus, never the lock.
    auto* arrows = new ArrowKeysMoveFocus(this);
    for (QAbstractButton* b : findChildren<QAbstractButton*>()) {
        b->setFocusPolicy(Qt::TabFocus);
        b->installEventFilter(arrows);
    }
}

void RulerWindow::createLockButtons() {
    lockGroup_ = new QButtonGroup(this);
    lockGroup_->setExclusive(true);
    const struct {
        const char* name;
        const char* tip;
        QIcon icon;
        RulerLock lock;
    } locks[] = {
        {"lockScreen", "Lock Ruler to Screen", rulerglyphs::lockScreen(), RulerLock::Screen},
        {"lockWindow", "Lock Ruler to Active Window", rulerglyphs::lockWindow(), RulerLock::Window},
        {"lockFree", "Remove Ruler Lock", rulerglyphs::lockFree(), RulerLock::Free}};
    int at = 0;
    for (const auto& lock : locks) {
        QToolButton* b = new QToolButton(controlBox_);
        b->setObjectName(lock.name);
        b->setCheckable(true);
        b->setToolTip(lock.tip);
        b->setAccessibleName(lock.tip);
        b->setIcon(lock.icon);
        b->setIconSize(QSize(16, 16));
        b->setGeometry(axis_ == Axis::Horizontal ? QRect(at, 0, kButtonSize, kButtonSize)
                                                 : QRect(0, at, kButtonSize, kButtonSize));
        lockGroup_->addButton(b, static_cast<int>(lock.lock));
        const RulerLock chosen = lock.lock;
        connect(b, &QToolButton::clicked, this, [this, chosen] { setLock(chosen); });
        at += kButtonSize;
    }
    lockGroup_->button(static_cast<int>(RulerLock::Free))->setChecked(true);
}

void RulerWindow::connectHandles() {
    for (int i = 0; i < 2; ++i) {
        handles_[i]->onPress = [this](int button, double x, double y) {
            handleDrag_.press(button, x, y);
        };
        handles_[i]->onMove = [this, i](int button, double x, double y) {
            stretch(i, button, x, y);
        };
        handles_[i]->onRelease = [this] { handleDrag_.release(); };
    }
    titleStrip_->onPress = [this](QPoint at) { startMove(at); };
    titleStrip_->onMove = [this](QPoint at) { moveBy(at); };
    titleStrip_->onRelease = [this] { moveGrab_.reset(); };
}

void RulerWindow::createTitleControls() {
    QFont small = font();
    small.setPixelSize(10);
    menuButton_ = new QPushButton("Menu", titleStrip_);
    menuButton_->setObjectName("menuButton");
    menuButton_->setGeometry(8, 0, 41, 17);
    menuButton_->setFont(small);
    connect(menuButton_, &QPushButton::clicked, this, &RulerWindow::openMenu);

    closeButton_ = new QToolButton(controlBox_);
    closeButton_->setObjectName("closeButton");
    closeButton_->setGeometry(64, 0, kButtonSize, kButtonSize);
    closeButton_->setIcon(rulerglyphs::close());
    closeButton_->setIconSize(QSize(16, 16));
    closeButton_->setToolTip("Hide Rulers");
    closeButton_->setAccessibleName("Hide Rulers");
    connect(closeButton_, &QToolButton::clicked, this, &RulerWindow::closeClicked);

    // Yellow and cyan as designed, each on a black chip of its own: the title strip takes the
    // desktop's caption colours, on which neither can be read.
    position_ = new QLabel("8888,8888", titleStrip_);
    position_->setObjectName("pointerReadout");
    position_->setStyleSheet("color: rgb(255, 255, 0); background: black; padding: 0px 3px;");
    position_->setToolTip("Cursor Co-ordinates");
    position_->setAccessibleDescription("Cursor Co-ordinates");
    measure_ = new QLabel("8888 X 8888", titleStrip_);
    measure_->setObjectName("measureReadout");
    measure_->setStyleSheet("color: rgb(0, 255, 255); background: black; padding: 0px 3px;");
    measure_->setToolTip("Measured Area Dimensions");
    measure_->setAccessibleDescription("Measured Area Dimensions");
    measure_->hide();
    for (QLabel* label : {position_, measure_}) {
        label->setFont(small);
        // A press on a read-out is a press on the title strip, which shows the read-out's tip.
        label->setAttribute(Qt::WA_TransparentForMouseEvents);
        label->move(kReadoutLeft, 0);
        label->adjustSize();
    }

    menu_ = new ScaleModeMenu(this);
    connect(menu_, &ScaleModeMenu::chosen, this, &RulerWindow::modeChosen);
    connect(menu_, &ScaleModeMenu::measureChosen, this, &RulerWindow::measureChosen);
}

void RulerWindow::load(const StoredRuler& stored, ScaleMode mode) {
    if (loaded_) return;
    loaded_ = true;
    mode_ = mode;
    if (menu_ != nullptr) menu_->setMode(mode);
    const ScreenMetrics& screen = screen_.metrics();
    // Built once for the whole screen and slid as one piece afterwards.
    stripLength_ = screenLength(axis_, screen);
    across_ = static_cast<std::int32_t>(
        roundHalfEven(stored.across / twipsPerPixel(otherAxis(axis_), screen)));
    edge_ =
        static_cast<std::int32_t>(roundHalfEven(stored.place.edge / twipsPerPixel(axis_, screen)));
    length_ = static_cast<std::int32_t>(roundHalfEven(stored.place.length));
    // Placed before the window exists: a window created with no place of its own is put where
    // the system likes (Windows cascades it), and that move would be taken for the user's.
    layOut();
    windows_.markToolWindow(static_cast<WindowId>(winId()));
    // On a monitor of another device pixel ratio the same pixels are another size in Qt's
    // co-ordinates, and the scale is drawn for the new ratio.
    connect(windowHandle(), &QWindow::screenChanged, this, [this] {
        layOut();
        drawScale();
    });
    setTopmost(windows_, this, true);
    layOut();
    drawScale();
}

void RulerWindow::followScreen() {
    if (!loaded_) return;
    const ScreenMetrics& screen = screen_.metrics();
    const double tppAcross = twipsPerPixel(otherAxis(axis_), screen);
    const StoredRuler onto =
        bringOntoMonitor(axis_, StoredRuler{currentPlace(), across_ * tppAcross}, screen);
    across_ = static_cast<std::int32_t>(roundHalfEven(onto.across / tppAcross));
    setPlace(onto.place.edge / twipsPerPixel(axis_, screen), length_);
    followMonitor();
    if (screenLength(axis_, screen) > stripLength_) {
        stripLength_ = screenLength(axis_, screen);
        drawScale();
    }
}

StoredRuler RulerWindow::placeToSave() const {
    const StoredRuler current{currentPlace(),
                              across_ * twipsPerPixel(otherAxis(axis_), screen_.metrics())};
    return rulerToSave(lock_, current);
}

RulerPlace RulerWindow::currentPlace() const {
    return RulerPlace{edge_ * twipsPerPixel(axis_, screen_.metrics()),
                      static_cast<double>(length_)};
}

void RulerWindow::setPlace(double edgePx, std::int32_t length) {
    edge_ = static_cast<std::int32_t>(roundHalfEven(edgePx));
    length_ = length;
    layOut();
}

void RulerWindow::layOut() {
    placeScale();
    // The strip never shrinks; beyond the last tick it stays blank.
    if (length_ > stripLength_) stripLength_ = length_;
    const int len = logical(length_);
    const int breadth = thickness(axis_);
    if (axis_ == Axis::Horizontal) {
        region_->setGeometry(0, 0, len, breadth);
        titleStrip_->setGeometry(0, 0, len, kTitleBreadth);
        placeControlBox();
        scale_->setGeometry(0, 24, len, kScaleBreadthH);
        handles_[0]->setGeometry(0, 10, kHandleThickness, kHandleBreadth);
        handles_[1]->setGeometry(len - kHandleThickness, 10, kHandleThickness, kHandleBreadth);
    } else {
        region_->setGeometry(0, 0, breadth, len);
        titleStrip_->setGeometry(0, 0, kTitleBreadth, len);
        scale_->setGeometry(24, 0, kScaleBreadthV, len);
        handles_[0]->setGeometry(0, 0, kHandleBreadth + 1, kHandleThickness);
        handles_[1]->setGeometry(0, len - kHandleThickness, kHandleBreadth + 1, kHandleThickness);
    }
    for (DragHandle* handle : handles_) handle->raise();
    placeWindow();
}

void RulerWindow::placeControlBox() {
    if (axis_ != Axis::Horizontal) return;
    const int x = titleStrip_->width() - controlBox_->width() - kHandleThickness - 5;
    if (x == controlBox_->x()) return;
    controlBox_->move(x, 0);
    // The room before the lock buttons changed.
    fitMeasure();
}

void RulerWindow::placeWindow() {
    const int len = logical(length_);
    const QPoint at =
        toQt(axis_ == Axis::Horizontal ? Point{edge_, across_} : Point{across_, edge_});
    const QRect want = axis_ == Axis::Horizontal ? QRect(at, QSize(len, thickness(axis_)))
                                                 : QRect(at, QSize(thickness(axis_), len));
    if (geometry() != want) setGeometry(want);
}

void RulerWindow::placeScale() {
    const double tpp = twipsPerPixel(axis_, screen_.metrics());
    scale_->setOffset(
        static_cast<std::int32_t>(roundHalfEven(scaleOffset(mode_, edge_ * tpp, tpp))));
}

void RulerWindow::drawScale() {
    const double ratio = devicePixelRatioF();
    const QFont font = ScaleStrip::scaleFont(ratio);
    const double templateExtent = axis_ == Axis::Horizontal
                                      ? QFontMetricsF(font).horizontalAdvance("8888")
                                      : ScaleStrip::kNumberHeight * ratio;
    scale_->render(layOutScale(axis_, stripLength_, templateExtent), stripLength_, ratio);
}

void RulerWindow::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    Point at;
    if (event->spontaneous()) {
        // Moved by the window manager. While it frames a new window Qt can report a passing
        // place (the frame's corner before it is placed), so where the window is comes from the
        // window system itself.
        const Rect real = windows_.windowRect(nativeHandle(this));
        if (real == Rect{}) return;
        at = Point{real.left, real.top};
    } else {
        // At a ratio above 1 the window stands only on whole device-independent pixels; the
        // scale must count from where it really is.
        at = fromQt(pos());
    }
    edge_ = coordinateAlong(axis_, at);
    across_ = coordinateAcross(axis_, at);
    rulerMoved();
}

void RulerWindow::closeEvent(QCloseEvent* event) {
    // The window manager's close hides both rulers, as the close button does.
    event->ignore();
    emit closeClicked();
}

}  // namespace sw
