// The main window.
#include "form1.h"
#include "monitorgeometry.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QPushButton>
#include <QToolButton>
#include <QWindow>

#include "appinfo.h"
#include "dimensionpanel.h"
#include "layoutview.h"
#include "links.h"
#include "nativehandle.h"
#include "presetbar.h"
#include "splash.h"
#include "statebuttons.h"
#include "target.h"
#include "titlemarquee.h"
#include "traymenu.h"
#include "widgets.h"
#include "windowutils.h"

namespace sw {
namespace {

// Design geometry, in twips. The height as designed is what the settings'
// clamps see; DrawForm then sets the height the layout option asks for.
constexpr int kClientWidth = 3645;
constexpr int kClientHeight = 3750;
// Below the lowest control; the design's 400 twips also held the caption and
// borders of the window, which the window manager adds here.
constexpr int kBottomMargin = 120;

}  // namespace

Form1::Form1(const MainWindowDesktop& desktop, Target& target, Presets& presets, QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      desktop_(desktop) {
    setWindowTitle(kAppTitle);
    setObjectName("Form1");
    setFixedSize(DesignPixels(kClientWidth), DesignPixels(kClientHeight));
    QFont small = font();
    small.setPixelSize(10);

    lblMenu = new ClickLabel("Menu", this);
    lblMenu->setObjectName("lblMenu");
    lblMenu->setGeometry(DesignRect(0, 0, 495, 255));
    QFont titleFont = font();
    titleFont.setPixelSize(11);
    lblMenu->setFont(titleFont);
    lblMenu->setAlignment(Qt::AlignCenter);
    lblMenu->setFrameShape(QFrame::Panel);
    lblMenu->setFrameShadow(QFrame::Raised);

    chkShowRulers = new QToolButton(this);
    chkShowRulers->setObjectName("chkShowRulers");
    chkShowRulers->setText("Rulers");
    chkShowRulers->setCheckable(true);
    chkShowRulers->setGeometry(DesignRect(480, 0, 615, 255));
    chkShowRulers->setFont(small);

    panel_ = new DimensionPanel(this, target);
    stateButtons_ = new StateButtons(this, target);
    presetBar_ = new PresetBar(this, presets, desktop.windows, desktop_.screen);
    layout_ = new LayoutView(this, desktop.screen);
    marquee_ = new TitleMarquee(this);
    links_ = new Links(this, desktop.shell, QCoreApplication::applicationDirPath().toStdString());
    tray_ = new TrayMenu(this, desktop.notifyIcon, desktop.pointer, presetBar_->menu());
    about_ = new About(this, desktop.windows, desktop_.screen);

    // The focus sink: outside the client area, it only ever holds the focus.
    cmdFocus = new QPushButton("cmdFocus", this);
    cmdFocus->setGeometry(-200, -200, 20, 20);
    setFocusProxy(cmdFocus);
    connectParts();
}

Form1::~Form1() = default;

void Form1::connectParts() {
    lblMenu->onClick = [this] { lblMenu_Click(); };
    // clicked, not toggled: only the user's click reports a switch.
    connect(chkShowRulers, &QToolButton::clicked, this, [this](bool checked) {
        LoseFocus(this);
        emit rulersSwitched(checked);
    });
    connect(stateButtons_, &StateButtons::zeroWindowClicked, this, [this] {
        // The origin of the monitor that holds most of the target: the screen's
        // origin on a desktop of one.
        const Rect monitor = MonitorHoldingMost(desktop_.screen.monitors, mTargetRect);
        PlaceTargetAt(kLeft, monitor.left, kTop, monitor.top);
    });
    connect(presetBar_, &PresetBar::presetChosen, this,
            [this](std::int32_t w, std::int32_t h) { PlaceTargetAt(kWidth, w, kHeight, h); });
    connect(layout_, &LayoutView::dragged, this,
            [this](Point at) { PlaceTargetAt(kLeft, at.x, kTop, at.y); });
    connect(layout_, &LayoutView::menuRequested, this, [this] { tray_->PopupAtPointer(false); });
    connect(layout_, &LayoutView::switched, this, [this](bool shown) {
        tray_->setLayoutChecked(shown);
        DrawForm();
    });
    connect(tray_, &TrayMenu::layoutToggled, this, [this](bool shown) {
        layout_->setShown(shown);
        DrawForm();
    });
    connect(tray_, &TrayMenu::rulersToggled, this, &Form1::rulersSwitched);
    connect(tray_, &TrayMenu::editPresetsChosen, presetBar_, &PresetBar::EditPresets);
    connect(tray_, &TrayMenu::aboutChosen, this, [this] { about_->ShowAbout(false, true); });
    connect(tray_, &TrayMenu::helpChosen, links_, &Links::ShowHelpContents);
    connect(tray_, &TrayMenu::iconActivated, this, &Form1::mnuHide_Click);
    connect(tray_, &TrayMenu::hideChosen, this, &Form1::mnuHide_Click);
    connect(tray_, &TrayMenu::iconContextClicked, this, &Form1::OpenFromIcon);
    connect(tray_, &TrayMenu::exitChosen, this, [this] { emit unloadRequested(kUnloadCode); });
}

void Form1::PlaceTargetAt(int first, std::int64_t a, int second, std::int64_t b) {
    panel_->setValue(first, a);
    panel_->setValue(second, b);
    panel_->PlaceTarget();
}

void Form1::Form_Load(const MainConfig& config, bool withSplash) {
    tray_->AddIcon();
    ApplyConfig(config);
    // Modal: the rest of loading waits until the splash has closed.
    if (withSplash) about_->ShowAbout(true, false);
    // A right click on the icon closes the splash and opens the menu; loading
    // goes on once the menu has closed, as the window showing now would close it.
    tray_->WaitForMenu();
    // A signal, the session's end or "Exit" may have unloaded the window meanwhile.
    if (mUnloaded) return;
    DrawForm();
    links_->MakeRoundButton();
    if (chkShowRulers->isChecked()) emit rulersSwitched(true);
}

void Form1::ApplyConfig(const MainConfig& config) {
    layout_->setShown(config.showLayout);
    tray_->setLayoutChecked(config.showLayout);
    mHidden = config.hidden;
    const double tx = TwipsPerPixelX(desktop_.screen);
    const double ty = TwipsPerPixelY(desktop_.screen);
    mWindowTop = config.windowTop;
    mWindowLeft = config.windowLeft;
    // Among several monitors, which may lie at negative co-ordinates, only the
    // title strip's being in sight counts.
    if (desktop_.screen.monitors.size() <= 1) {
        mWindowTop =
            ClampWindowEdge(config.windowTop, desktop_.screen.heightPx * ty, height() * ty);
        mWindowLeft =
            ClampWindowEdge(config.windowLeft, desktop_.screen.widthPx * tx, width() * tx);
    }
    DrawForm();
    if (desktop_.screen.monitors.size() > 1) BringRememberedOntoMonitor();
    // A hidden window is not shown at all: the start routine leaves it unmapped.
    tray_->setHidden(mHidden);
    if (!mHidden) MoveToRemembered();
    emit rulersSwitched(config.showRuler);
    presetBar_->RefreshMenu();
}

void Form1::CollectConfig(MainConfig& config) const {
    // The position is kept current while the window is shown (moveEvent), and
    // while it is hidden it is the one to come back to.
    config.showLayout = layout_->isShown();
    config.hidden = mHidden;
    config.windowTop = mWindowTop;
    config.windowLeft = mWindowLeft;
}

void Form1::Form_Unload() {
    mUnloaded = true;
    tray_->RemoveIcon();
    hide();
}

void Form1::ShowReading(const TargetReading& reading) {
    if (SwitchedAway(reading)) panel_->CloseEntry();
    const QString title = QString::fromStdString(reading.target.title);
    marquee_->setTitle(title);
    tray_->ShowTitle(reading.target.title);
    if (!reading.landing) panel_->setLabels(DimensionTexts(reading.shown));
    mTargetRect = reading.target.rect;
    if (!mHidden) layout_->ShowTarget(reading.shown);
    // A selection by the monitor runs the button's click action, as a user's
    // click would.
    if (!reading.landing && !mHidden) stateButtons_->ShowState(reading.target.state);
}

bool Form1::SwitchedAway(const TargetReading& reading) const {
    // The window manager publishes the active window a moment after the focus has
    // moved, and on the way it may name none or another of the program's windows;
    // Qt already knows then, so a click that has just activated this window does
    // not count as a switch away.
    return reading.foreground != 0 && !reading.foregroundIsOwn && !isActiveWindow();
}

void Form1::ShowRulersState(bool shown) {
    if (chkShowRulers->isChecked() != shown) chkShowRulers->setChecked(shown);
    tray_->setRulersChecked(shown);
}

void Form1::DrawForm() {
    const int height = DesignPixels(layout_->bottomTwips() + kBottomMargin);
    if (height != this->height()) setFixedSize(width(), height);
    SetTopmost(desktop_.windows, this, true);
}

void Form1::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!mScreenWatched && windowHandle() != nullptr) {
        mScreenWatched = true;
        // Moved onto a monitor of another device pixel ratio, the window keeps its
        // size in Qt's co-ordinates; the X server is told the new pixels.
        connect(windowHandle(), &QWindow::screenChanged, this,
                [this] { windowHandle()->resize(size()); });
    }
    marquee_->setRunning(!isMinimized());
    emit cameIntoView();
}

void Form1::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    marquee_->setRunning(false);
}

void Form1::changeEvent(QEvent* event) {
    QWidget::changeEvent(event);
    if (event->type() != QEvent::WindowStateChange) return;
    const bool seen = isVisible() && !isMinimized();
    marquee_->setRunning(seen);
    const auto* change = static_cast<QWindowStateChangeEvent*>(event);
    if (seen && (change->oldState() & Qt::WindowMinimized)) emit cameIntoView();
}

void Form1::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    // `Form_Resize`: the main window stays above normal windows.
    SetTopmost(desktop_.windows, this, true);
}

void Form1::mousePressEvent(QMouseEvent* event) {
    QWidget::mousePressEvent(event);
    // `Form_MouseDown`
    panel_->CloseEntry();
}

void Form1::lblMenu_Click() {
    LoseFocus(this);
    tray_->PopupAt(mapToGlobal(QPoint(0, lblMenu->geometry().bottom() + 1)));
}

void Form1::OpenFromIcon() {
    about_->CloseSplash();
    desktop_.windows.activateWindow(nativeHandle(this));
}

void Form1::mnuHide_Click() {
    if (!mHidden) {
        // Withdrawn rather than parked off-screen: window managers constrain such
        // positions, and a monitor may lie at negative co-ordinates.
        RememberPosition();
        hide();
        mHidden = true;
    } else {
        MoveToRemembered();
        mHidden = false;
        show();
    }
    tray_->setHidden(mHidden);
}

void Form1::RememberPosition() {
    const Point at = FromQt(pos());
    mWindowLeft = static_cast<std::int32_t>(RoundHalfEven(at.x * TwipsPerPixelX(desktop_.screen)));
    mWindowTop = static_cast<std::int32_t>(RoundHalfEven(at.y * TwipsPerPixelY(desktop_.screen)));
}

void Form1::BringRememberedOntoMonitor() {
    const double tx = TwipsPerPixelX(desktop_.screen);
    const double ty = TwipsPerPixelY(desktop_.screen);
    const Point at{static_cast<std::int32_t>(RoundHalfEven(mWindowLeft / tx)),
                   static_cast<std::int32_t>(RoundHalfEven(mWindowTop / ty))};
    const double ratio = devicePixelRatioF();
    const Point onto = OntoMonitor(desktop_.screen.monitors, at,
                                   static_cast<std::int32_t>(std::lround(width() * ratio)),
                                   static_cast<std::int32_t>(std::lround(height() * ratio)));
    if (onto == at) return;
    mWindowLeft = static_cast<std::int32_t>(RoundHalfEven(onto.x * tx));
    mWindowTop = static_cast<std::int32_t>(RoundHalfEven(onto.y * ty));
}

void Form1::ScreenChanged(const ScreenMetrics& screen) {
    desktop_.screen = screen;
    layout_->setScreen(screen);
    if (!mHidden && isVisible()) RememberPosition();
    BringRememberedOntoMonitor();
    if (!mHidden && isVisible()) MoveToRemembered();
}

void Form1::MoveToRemembered() {
    move(ToQt(Point{
        static_cast<std::int32_t>(RoundHalfEven(mWindowLeft / TwipsPerPixelX(desktop_.screen))),
        static_cast<std::int32_t>(RoundHalfEven(mWindowTop / TwipsPerPixelY(desktop_.screen)))}));
}

void Form1::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    // Kept current while shown, so that saving never has to read the window: the
    // display may be gone by then.
    if (!mHidden && isVisible() && !isMinimized()) RememberPosition();
}

void Form1::BringToFront() {
    if (mHidden) mnuHide_Click();
    if (isMinimized()) showNormal();
    show();
    raise();
    desktop_.windows.activateWindow(nativeHandle(this));
}

void Form1::closeEvent(QCloseEvent* event) {
    if (mUnloaded) {
        event->accept();
        return;
    }
    event->ignore();
    // The window manager's close box arrives spontaneously; anything else is the
    // program closing itself.
    if (!event->spontaneous()) {
        emit unloadRequested(kUnloadCode);
    } else if (!desktop_.notifyIcon.hostAvailable()) {
        // `Form_QueryUnload` with the close box: hidden with no notification
        // area, nothing could bring the window back, so it is minimised instead.
        showMinimized();
    } else if (!mHidden) {
        mnuHide_Click();
    }
}

}  // namespace sw
