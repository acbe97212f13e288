// The main window.
#include "mainwindow.h"

#include <cmath>

#include <QAbstractButton>
#include <QCloseEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QShortcut>
#include <QToolButton>
#include <QWindow>
#include <algorithm>
#include <cstdlib>

#include "appinfo.h"
#include "dimensionpanel.h"
#include "layoutview.h"
#include "links.h"
#include "monitorgeometry.h"
#include "nativehandle.h"
#include "presetbar.h"
#include "screenmodel.h"
#include "statebuttons.h"
#include "target.h"
#include "titlemarquee.h"
#include "widgets.h"
#include "windowutils.h"

namespace sw {
namespace {

// Design geometry, in twips. The height as designed is what the settings' clamps see; the
// layout option then sets the height it asks for.
constexpr int kClientWidth = 3645;
constexpr int kClientHeight = 3750;
// Below the lowest control; the design's 400 twips also held the caption and borders of the
// window, which the window manager adds here.
constexpr int kBottomMargin = 120;

}  // namespace

MainWindow::MainWindow(WindowSystem& windows, const ScreenModel& screen, Target& target,
                       const Presets& presets, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      windows_(windows),
      screen_(screen) {
    setWindowTitle(kAppTitle);
    setObjectName("mainWindow");
    // The target is the active window nearly always while this one is used.
    setAttribute(Qt::WA_AlwaysShowToolTips);
    setFixedSize(layoutPixels(kClientWidth), layoutPixels(kClientHeight));
    createControls(target, presets);
    connectParts();
}

MainWindow::~MainWindow() = default;

void MainWindow::createControls(Target& target, const Presets& presets) {
    menuLabel_ = new ClickLabel("Menu", this);
    menuLabel_->setObjectName("menuLabel");
    menuLabel_->setGeometry(designRect(0, 0, 495, 255));
    QFont titleFont = font();
    titleFont.setPixelSize(textPixels(11));
    menuLabel_->setFont(titleFont);
    menuLabel_->setAlignment(Qt::AlignCenter);
    menuLabel_->setFrameShape(QFrame::Panel);
    menuLabel_->setFrameShadow(QFrame::Raised);

    rulersSwitch_ = new QToolButton(this);
    rulersSwitch_->setObjectName("rulersSwitch");
    rulersSwitch_->setText("Rulers");
    rulersSwitch_->setCheckable(true);
    rulersSwitch_->setGeometry(designRect(480, 0, 615, 255));
    QFont small = font();
    small.setPixelSize(textPixels(10));
    rulersSwitch_->setFont(small);

    panel_ = new DimensionPanel(this, target);
    new StateButtons(this, target, screen_);
    new PresetBar(this, presets, target);
    layout_ = new LayoutView(this, screen_, target);
    marquee_ = new TitleMarquee(this, target);
    links_ = new LinkButtons(this);
    menuLabel_->setFocusable();
    setUpKeyboard();
}

void MainWindow::setUpKeyboard() {
    // Controls take the focus by Tab alone (a click leaves it on the window), in the order of the
    // window's rows, and arrow keys only move it.
    auto* arrows = new ArrowKeysMoveFocus(this);
    QList<QWidget*> chain;
    for (QWidget* w : findChildren<QWidget*>()) {
        if (qobject_cast<QAbstractButton*>(w) != nullptr && w->focusPolicy() != Qt::NoFocus) {
            w->setFocusPolicy(Qt::TabFocus);
        }
        if ((w->focusPolicy() & Qt::TabFocus) == 0 || qobject_cast<QLineEdit*>(w) != nullptr) {
            continue;
        }
        w->installEventFilter(arrows);
        chain.append(w);
    }
    const auto at = [this](const QWidget* w) { return w->mapTo(this, QPoint(0, 0)); };
    std::stable_sort(chain.begin(), chain.end(), [&](const QWidget* a, const QWidget* b) {
        const QPoint pa = at(a), pb = at(b);
        // A row holds what starts within a few pixels of the same height.
        if (std::abs(pa.y() - pb.y()) > layoutPixels(60)) return pa.y() < pb.y();
        return pa.x() < pb.x();
    });
    for (int i = 1; i < chain.size(); ++i) setTabOrder(chain[i - 1], chain[i]);

    const auto menuBelowLabel = [this] {
        emit menuRequested(mapToGlobal(QPoint(0, menuLabel_->geometry().bottom() + 1)));
    };
    for (const QKeySequence& keys :
         {QKeySequence(Qt::Key_Menu), QKeySequence(Qt::SHIFT | Qt::Key_F10)}) {
        connect(new QShortcut(keys, this), &QShortcut::activated, this, menuBelowLabel);
    }
    connect(new QShortcut(QKeySequence(Qt::Key_F1), this), &QShortcut::activated, this,
            &MainWindow::helpRequested);
}

void MainWindow::connectParts() {
    menuLabel_->onClick = [this] {
        byKeyboard(menuLabel_);
        emit menuRequested(mapToGlobal(QPoint(0, menuLabel_->geometry().bottom() + 1)));
    };
    // clicked, not toggled: only the user's click reports a switch.
    connect(rulersSwitch_, &QToolButton::clicked, this, [this](bool checked) {
        byKeyboard(rulersSwitch_);
        emit rulersSwitched(checked);
    });
    connect(layout_, &LayoutView::menuRequested, this, &MainWindow::pointerMenuRequested);
    connect(layout_, &LayoutView::switched, this, [this](bool shown) {
        fitHeight();
        emit layoutSwitched(shown);
    });
    connect(links_, &LinkButtons::mailClicked, this, &MainWindow::mailRequested);
    connect(links_, &LinkButtons::webClicked, this, &MainWindow::webRequested);
    connect(&screen_, &ScreenModel::changed, this, &MainWindow::followScreen);
}

void MainWindow::applySettings(const MainSettings& settings) {
    layout_->setShown(settings.showLayout);
    hidden_ = settings.hidden;
    left_ = settings.windowLeft;
    top_ = settings.windowTop;
    fitHeight();
    // The whole window at its height for the layout option, on the monitor nearest its place.
    bringRememberedOntoMonitor();
    // A hidden window is not shown at all: it stays unmapped until the icon brings it.
    if (!hidden_) moveToRemembered();
    emit hiddenChanged(hidden_);
}

void MainWindow::collectSettings(MainSettings& settings) const {
    settings.showLayout = layout_->isShown();
    settings.hidden = hidden_;
    settings.windowTop = top_;
    settings.windowLeft = left_;
}

void MainWindow::finishStart() {
    fitHeight();
    links_->makeRound();
    if (!hidden_) show();
}

void MainWindow::end() {
    ended_ = true;
    hide();
}

void MainWindow::setLayoutShown(bool shown) {
    layout_->setShown(shown);
    fitHeight();
}

void MainWindow::setRulersShown(bool shown) {
    if (rulersSwitch_->isChecked() != shown) rulersSwitch_->setChecked(shown);
}

void MainWindow::fitHeight() {
    const int height = layoutPixels(layout_->bottomTwips() + kBottomMargin);
    if (height != this->height()) setFixedSize(width(), height);
    setTopmost(windows_, this, true);
}

void MainWindow::setHiddenToTray(bool hidden) {
    if (hidden == hidden_) return;
    if (hidden) {
        // Withdrawn rather than parked off-screen: window managers constrain such positions,
        // and a monitor may lie at negative co-ordinates.
        rememberPlace();
        hide();
        hidden_ = true;
    } else {
        moveToRemembered();
        hidden_ = false;
        show();
    }
    emit hiddenChanged(hidden_);
}

void MainWindow::bringToFront() {
    setHiddenToTray(false);
    if (isMinimized()) showNormal();
    show();
    raise();
    windows_.activateWindow(nativeHandle(this));
}

void MainWindow::rememberPlace() {
    const Point at = fromQt(pos());
    left_ = static_cast<std::int32_t>(roundHalfEven(at.x * twipsPerPixelX(screen_.metrics())));
    top_ = static_cast<std::int32_t>(roundHalfEven(at.y * twipsPerPixelY(screen_.metrics())));
}

void MainWindow::moveToRemembered() {
    const ScreenMetrics& screen = screen_.metrics();
    move(toQt(Point{static_cast<std::int32_t>(roundHalfEven(left_ / twipsPerPixelX(screen))),
                    static_cast<std::int32_t>(roundHalfEven(top_ / twipsPerPixelY(screen)))}));
}

void MainWindow::bringRememberedOntoMonitor() {
    const double tx = twipsPerPixelX(screen_.metrics());
    const double ty = twipsPerPixelY(screen_.metrics());
    const Point at{static_cast<std::int32_t>(roundHalfEven(left_ / tx)),
                   static_cast<std::int32_t>(roundHalfEven(top_ / ty))};
    const double ratio = devicePixelRatioF();
    const Point onto =
        ontoMonitor(screen_.monitors(), at, static_cast<std::int32_t>(std::lround(width() * ratio)),
                    static_cast<std::int32_t>(std::lround(height() * ratio)));
    if (onto == at) return;
    left_ = static_cast<std::int32_t>(roundHalfEven(onto.x * tx));
    top_ = static_cast<std::int32_t>(roundHalfEven(onto.y * ty));
}

void MainWindow::followScreen() {
    // The monitors changed: the window comes back into sight if it is out of it.
    const bool shown = !hidden_ && isVisible();
    if (shown) rememberPlace();
    bringRememberedOntoMonitor();
    if (shown) moveToRemembered();
}

void MainWindow::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!screenWatched_ && windowHandle() != nullptr) {
        screenWatched_ = true;
        // Moved onto a monitor of another device pixel ratio, the window keeps its size in Qt's
        // co-ordinates; the window system is told the new pixels.
        connect(windowHandle(), &QWindow::screenChanged, this,
                [this] { windowHandle()->resize(size()); });
    }
    marquee_->setRunning(!isMinimized());
    emit cameIntoView();
}

void MainWindow::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    marquee_->setRunning(false);
}

void MainWindow::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange) return;
    const bool seen = isVisible() && !isMinimized();
    marquee_->setRunning(seen);
    const auto* change = static_cast<QWindowStateChangeEvent*>(event);
    if (seen && (change->oldState() & Qt::WindowMinimized)) emit cameIntoView();
}

void MainWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    // The main window stays above normal windows.
    setTopmost(windows_, this, true);
}

void MainWindow::mousePressEvent(QMouseEvent* event) {
    QWidget::mousePressEvent(event);
    // A click beside the entry panel closes it unapplied.
    panel_->closeEntry();
}

void MainWindow::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    // Kept current while shown, so that saving never has to read the window: the display may be
    // gone by then.
    if (!hidden_ && isVisible() && !isMinimized()) rememberPlace();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (ended_) {
        event->accept();
        return;
    }
    event->ignore();
    // The window manager's close box arrives spontaneously; anything else is the program
    // closing itself.
    if (event->spontaneous()) {
        emit closeBoxPressed();
    } else {
        emit exitRequested();
    }
}

}  // namespace sw
