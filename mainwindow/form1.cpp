// The main window's construction, life cycle, notification icon, pop-up menu and
// the monitor that polls the target window ten times a second.
#include "mainwindow/form1.h"

#include <cstdio>

#include <QAction>
#include <QApplication>
#include <QButtonGroup>
#include <QCloseEvent>
#include <QEventLoop>
#include <QFrame>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QWindow>

#include "app/helppath.h"
#include "app/numbers.h"
#include "app/windowutils.h"
#include "control/frmsplash.h"
#include "control/windowcommands.h"
#include "mainwindow/controls.h"
#include "mainwindow/glyphs.h"
#include "platform/qt/nativehandle.h"
#include "platform/text.h"
#include "rulers/frmruler.h"

namespace sw {
namespace {

constexpr const char* kCaptions[6] = {"Left", "Top", "Right", "Bottom", "Width", "Height"};
constexpr const char* kTipPrefix = "WATCHING WINDOW: ";
constexpr std::size_t kTitleCharacters = 254;

// Design geometry, in twips.
constexpr int kClientWidth = 3645;
// The height as designed, which the settings' clamps see; DrawForm then sets the
// height the layout option asks for.
constexpr int kClientHeight = 3750;
// The title line starts where the "Menu" label ends, one pixel lower than
// designed, so that the two never overlap.
constexpr int kTitleTop = 255;
constexpr int kCaptionTop = 480;
constexpr int kValueTop = 675;
constexpr int kDimensionHeight = 195;
constexpr int kDimensionWidth = 615;
constexpr int kHeightCaptionWidth = 650;
constexpr int kStateButtonTop = 870;
constexpr int kStateButtonSize = 300;
constexpr int kStateButtonLeft[3] = {2580, 2280, 2880};  // restore, minimise, maximise
constexpr const char* kStateTips[3] = {"Restore Target Window", "Minimize Target Window",
                                       "Maximize Target Window"};

QString q(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

Form1::Form1(Module1& g, Desktop& desktop, std::function<void(int status)> endProcess,
             QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint),
      g_(g),
      desktop_(desktop),
      endProcess_(std::move(endProcess)) {
    setWindowTitle(kAppTitle);
    setObjectName("Form1");
    setFixedSize(DesignPixels(kClientWidth), DesignPixels(kClientHeight));
    createControls();
    createPresetControls();
    createLayoutControls();
    createMarqueeControls();
    createLinkControls();
    createMenu();
    createRulerSwitch();

    // The monitor starts with the controls, before loading has finished.
    tmrCheckActiveWindow = new QTimer(this);
    tmrCheckActiveWindow->setInterval(100);
    connect(tmrCheckActiveWindow, &QTimer::timeout, this, [this] { tmrCheckActiveWindow_Timer(); });
    tmrCheckActiveWindow->start();
}

Form1::~Form1() {
    // The horizontal ruler's tick reaches the vertical one through the globals.
    g_.gHorizRuler = nullptr;
    g_.gVertRuler = nullptr;
    mHorizRuler.reset();
    mVertRuler.reset();
    // The children outlive this part of the object while QWidget tears them down;
    // a focus change then must not call back into a Form1 that is gone.
    txtValue->onFocusIn = nullptr;
    txtValue->onFocusOut = nullptr;
}

void Form1::createControls() {
    QFont small = font();
    small.setPixelSize(10);
    QFont titleFont = font();
    titleFont.setPixelSize(11);

    lblMenu = new ClickLabel("Menu", this);
    lblMenu->setGeometry(DesignRect(0, 0, 495, 255));
    lblMenu->setFont(titleFont);
    lblMenu->setAlignment(Qt::AlignCenter);
    lblMenu->setFrameShape(QFrame::Panel);
    lblMenu->setFrameShadow(QFrame::Raised);
    lblMenu->onClick = [this] { lblMenu_Click(); };

    lblWatchingWindow = new QLabel("Window:", this);
    lblWatchingWindow->setFont(small);
    lblWatchingWindow->move(DesignPixels(120), DesignPixels(kTitleTop));
    lblWatchingWindow->adjustSize();
    lblWindowText = new QLabel("Label1", this);
    lblWindowText->move(DesignPixels(800), DesignPixels(kTitleTop));
    lblWindowText->setTextFormat(Qt::PlainText);
    lblWindowText->setFont(titleFont);
    lblWindowText->adjustSize();
    // Created after the title so that it covers the title's end.
    lblElipses = new QLabel("...", this);
    lblElipses->setFont(titleFont);
    lblElipses->move(DesignPixels(3480), DesignPixels(kTitleTop));
    lblElipses->adjustSize();
    lblElipses->setAutoFillBackground(true);
    lblElipses->hide();

    for (int i = 0; i < 6; ++i) {
        const int left = 600 * i;
        Label1[i] = new ClickLabel(kCaptions[i], this);
        Label1[i]->setGeometry(DesignRect(left, kCaptionTop, i == kHeight ? kHeightCaptionWidth : kDimensionWidth,
                                          kDimensionHeight));
        Label1[i]->setStyleSheet("color: white; background: blue;");
        lblWindowDimension[i] = new ClickLabel("0000", this);
        lblWindowDimension[i]->setGeometry(DesignRect(left, kValueTop, kDimensionWidth, kDimensionHeight));
        lblWindowDimension[i]->setStyleSheet("color: blue;");
        for (ClickLabel* label : {Label1[i], lblWindowDimension[i]}) {
            label->setFont(small);
            label->setAlignment(Qt::AlignCenter);
            label->setToolTip("Click to change value");
        }
        Label1[i]->onClick = [this, i] { Label1_Click(i); };
        lblWindowDimension[i]->onClick = [this, i] { lblWindowDimension_Click(i); };
    }

    picValueEntry = new QFrame(this);
    picValueEntry->setGeometry(DesignRect(0, kValueTop, 615, 495));
    picValueEntry->hide();
    txtValue = new ValueBox(picValueEntry);
    txtValue->setGeometry(DesignRect(0, 0, 615, 255));
    txtValue->setFont(small);
    txtValue->onFocusIn = [this] { txtValue_GotFocus(); };
    txtValue->onFocusOut = [this] { txtValue_LostFocus(); };
    txtValue->onEscape = [this] { cmdCancel_Click(); };
    connect(txtValue, &QLineEdit::returnPressed, this, [this] { cmdOk_Click(); });
    cmdCancel = new QToolButton(picValueEntry);
    cmdCancel->setGeometry(DesignRect(0, 240, 255, 255));
    cmdCancel->setIcon(glyphs::Cross());
    cmdOk = new QToolButton(picValueEntry);
    cmdOk->setGeometry(DesignRect(360, 240, 255, 255));
    cmdOk->setIcon(glyphs::Tick());
    for (QToolButton* b : {cmdCancel, cmdOk}) {
        // A click on them must not take the focus from the text box, or the
        // panel would close before the click lands.
        b->setFocusPolicy(Qt::NoFocus);
        b->setAutoRaise(false);
    }
    connect(cmdCancel, &QToolButton::clicked, this, [this] { cmdCancel_Click(); });
    connect(cmdOk, &QToolButton::clicked, this, [this] { cmdOk_Click(); });

    optGroup_ = new QButtonGroup(this);
    optGroup_->setExclusive(true);
    const QIcon glyph[3] = {glyphs::Restore(), glyphs::Minimise(), glyphs::Maximise()};
    for (int i = 0; i < 3; ++i) {
        optWindowControl[i] = new QToolButton(this);
        optWindowControl[i]->setGeometry(
            DesignRect(kStateButtonLeft[i], kStateButtonTop, kStateButtonSize, kStateButtonSize));
        optWindowControl[i]->setCheckable(true);
        optWindowControl[i]->setIcon(glyph[i]);
        optWindowControl[i]->setToolTip(kStateTips[i]);
        optGroup_->addButton(optWindowControl[i], i);
        // Only the user's clicks arrive here; the monitor's selections call the
        // handler itself.
        connect(optWindowControl[i], &QToolButton::clicked, this, [this, i] { optWindowControl_Click(i); });
    }

    cmdZeroWindow = new QPushButton("0,0", this);
    cmdZeroWindow->setGeometry(DesignRect(1850, kStateButtonTop, 360, 300));
    cmdZeroWindow->setToolTip("Move Target Window to Origin");
    cmdZeroWindow->setFont(small);
    connect(cmdZeroWindow, &QPushButton::clicked, this, [this] { cmdZeroWindow_Click(); });

    // Outside the client area: it only ever holds the focus.
    cmdFocus = new QPushButton("cmdFocus", this);
    cmdFocus->setGeometry(-200, -200, 20, 20);
}

void Form1::createMenu() {
    mnuPopup = new QMenu("PopUp", this);
    mnuOptions = mnuPopup->addMenu("&Options");
    mnuOptionsShowLayout = mnuOptions->addAction("Show &Window Layout");
    mnuOptionsShowLayout->setCheckable(true);
    mnuOptionsShowLayout->setChecked(true);
    mnuOptionsShowRuler = mnuOptions->addAction("Show &Rulers");
    mnuOptionsShowRuler->setCheckable(true);
    mnuEditPresets = mnuOptions->addAction("Edit &Presets");
    mnuPopup->addSeparator();
    mnuPresets = mnuPopup->addMenu("&Presets");
    for (int i = 0; i < kPresetSlots; ++i) {
        mnuPreset[i] = mnuPresets->addAction(i == 0 ? "not set" : "");
        mnuPreset[i]->setVisible(i == 0);
        connect(mnuPreset[i], &QAction::triggered, this, [this, i] { mnuPreset_Click(i); });
    }
    mnuPopup->addSeparator();
    mnuAbout = mnuPopup->addAction("&About");
    mnuHelp = mnuPopup->addMenu("&Help");
    mnuHelpContents = mnuHelp->addAction("&Contents");
    mnuPopup->addSeparator();
    mnuHide = mnuPopup->addAction(kHideCaption);
    mnuExit = mnuPopup->addAction("E&xit");
    // Qt has already inverted the check mark when the entry is chosen.
    connect(mnuOptionsShowLayout, &QAction::triggered, this, [this] { DrawForm(); });
    connect(mnuOptionsShowRuler, &QAction::triggered, this, [this] { mnuOptionsShowRuler_Click(); });
    connect(mnuEditPresets, &QAction::triggered, this, [this] { mnuEditPresets_Click(); });
    connect(mnuAbout, &QAction::triggered, this, [this] { mnuAbout_Click(); });
    connect(mnuHelpContents, &QAction::triggered, this, [this] { mnuHelpContents_Click(); });
    connect(mnuHide, &QAction::triggered, this, [this] { mnuHide_Click(); });
    connect(mnuExit, &QAction::triggered, this, [this] { mnuExit_Click(); });
}

void Form1::Form_Load() {
    // The screen is read once: the layout view takes its proportions from it,
    // and positions are kept in its twips.
    mScreen = desktop_.screen.metrics();
    mHorizRuler = std::make_unique<frmRuler>(Axis::Horizontal, g_, desktop_);
    mVertRuler = std::make_unique<frmRuler>(Axis::Vertical, g_, desktop_);
    g_.gHorizRuler = mHorizRuler.get();
    g_.gVertRuler = mVertRuler.get();
    g_.gTrayIcon.szTip = cutToCharacters(kAppTitle, NotifyIcon::kTipCharacters);
    // A notification area that is missing now is not fatal: the program stays
    // usable through its window.
    desktop_.notifyIcon.add(g_.gTrayIcon.szTip, [this](std::uint32_t message) { Form_MouseMove(message); });
    lblScroll->setText(q(MarqueeFirstText(kAppTitle, kAppMaker)));
    mScreenViewHeight = ViewHeightFor(mScreen, kScreenViewWidth);
    LoadConfig();
    const std::string programDir = QCoreApplication::applicationDirPath().toStdString();
    mHelpFile = FindHelp(programDir);
    mHelpSearched = HelpSearchPaths(programDir);
    // Modal: the rest of loading waits until the splash has closed.
    ShowAbout(true, false);
    // A right click on the icon closes the splash and opens the menu; loading
    // goes on once the menu has closed, as the window showing now would close it.
    WaitForMenu();
    // A signal, the session's end or "Exit" may have unloaded the window meanwhile.
    if (mUnloaded) return;
    DrawForm();
    MakeRoundButton();
    if (mnuOptionsShowRuler->isChecked()) ShowRulers(true);
}

void Form1::Form_Resize() { SetTopmost(desktop_.windows, this, true); }

void Form1::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    Form_Resize();
}

void Form1::Form_MouseDown() { picValueEntry->hide(); }

void Form1::mousePressEvent(QMouseEvent* event) {
    QWidget::mousePressEvent(event);
    Form_MouseDown();
}

void Form1::Form_MouseMove(std::uint32_t message) {
    if (mSplash != nullptr && mSplash->isVisible() && message == NotifyIcon::kRightButtonDown) mSplash->hide();
    switch (message) {
        case NotifyIcon::kLeftButtonDown:
            mnuHide_Click();
            break;
        case NotifyIcon::kRightButtonUp:
            desktop_.windows.activateWindow(nativeHandle(this));
            ShowPopup(mnuExit);
            break;
        default:
            break;
    }
}

void Form1::lblMenu_Click() {
    LoseFocus();
    mnuPopup->setDefaultAction(nullptr);
    mnuPopup->popup(mapToGlobal(QPoint(0, lblMenu->geometry().bottom() + 1)));
}

void Form1::WaitForMenu() {
    if (!mnuPopup->isVisible()) return;
    QEventLoop loop;
    connect(mnuPopup, &QMenu::aboutToHide, &loop, &QEventLoop::quit);
    loop.exec();
    // A chosen entry runs after the menu has hidden.
    QCoreApplication::processEvents();
}

void Form1::ShowPopup(QAction* defaultEntry) {
    mnuPopup->setDefaultAction(defaultEntry);
    const Point at = desktop_.pointer.cursorPos();
    mnuPopup->popup(QPoint(at.x, at.y));
}

void Form1::LoseFocus() { cmdFocus->setFocus(Qt::OtherFocusReason); }

void Form1::mnuHide_Click() {
    if (!mHidden) {
        // Withdrawn rather than parked off-screen: window managers constrain such
        // positions, and a monitor may lie at negative co-ordinates.
        RememberPosition();
        hide();
        mHidden = true;
        mnuHide->setText(kShowCaption);
    } else {
        move(static_cast<int>(RoundHalfEven(mWindowLeft / twipsPerPixelX())),
             static_cast<int>(RoundHalfEven(mWindowTop / twipsPerPixelY())));
        mHidden = false;
        show();
        mnuHide->setText(kHideCaption);
    }
}

void Form1::RememberPosition() {
    const QPoint at = pos();
    mWindowLeft = static_cast<std::int32_t>(RoundHalfEven(at.x() * twipsPerPixelX()));
    mWindowTop = static_cast<std::int32_t>(RoundHalfEven(at.y() * twipsPerPixelY()));
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

void Form1::mnuExit_Click() { Unload(kUnloadCode); }

void Form1::closeEvent(QCloseEvent* event) {
    if (mUnloaded) {
        event->accept();
        return;
    }
    // The window manager's close box arrives spontaneously; anything else is the
    // program closing itself.
    event->ignore();
    Unload(event->spontaneous() ? kUnloadControlMenu : kUnloadCode);
}

void Form1::Unload(int unloadMode) {
    if (mUnloaded) return;
    if (Form_QueryUnload(unloadMode)) return;
    mUnloaded = true;
    Form_Unload();
}

bool Form1::Form_QueryUnload(int unloadMode) {
    if (unloadMode == kUnloadControlMenu) {
        // Hidden with no notification area, nothing could bring the window back.
        if (!desktop_.notifyIcon.hostAvailable()) {
            showMinimized();
        } else if (!mHidden) {
            mnuHide_Click();
        }
        return true;
    }
    std::string why;
    if (!SaveConfig(&why)) std::fprintf(stderr, "Sizewise: the settings were not saved: %s\n", why.c_str());
    return false;
}

void Form1::UnloadWithoutDisplay() {
    if (mUnloaded) return;
    mUnloaded = true;
    std::string why;
    if (!SaveConfig(&why)) std::fprintf(stderr, "Sizewise: the settings were not saved: %s\n", why.c_str());
}

void Form1::Form_Unload() {
    tmrCheckActiveWindow->stop();
    for (frmRuler* ruler : {g_.gHorizRuler, g_.gVertRuler}) {
        if (ruler != nullptr) ruler->Unload();
    }
    desktop_.notifyIcon.remove();
    if (g_.gMainForm == this) g_.gMainForm = nullptr;
    hide();
    if (endProcess_) endProcess_(0);
}

bool Form1::IsOwnWindow(WindowId window) const {
    if (window == 0) return false;
    // Every top-level window of the program that exists on the display: the main
    // window, its dialogs, the rulers and menus. Only windows that were created
    // are listed (a widget never shown has none), which keeps this cheap on every
    // poll; a handle is never created here.
    for (const QWindow* w : QGuiApplication::topLevelWindows()) {
        if (w->handle() != nullptr && static_cast<WindowId>(w->winId()) == window) return true;
    }
    return false;
}

bool Form1::MainWindowInForeground() const {
    // The window manager publishes the active window a moment after the focus has
    // moved; Qt already knows then, so a click that has just activated this
    // window does not count as a switch away.
    return sForeground == nativeHandle(this) || isActiveWindow();
}

void Form1::tmrCheckActiveWindow_Timer() {
    WindowSystem& windows = desktop_.windows;
    sForeground = windows.foregroundWindow();
    LoadRulers();
    // Both rulers show the active caption while either of them has the focus.
    const bool rulerActive = sForeground != 0 && (sForeground == nativeHandle(g_.gHorizRuler) ||
                                                  sForeground == nativeHandle(g_.gVertRuler));
    for (frmRuler* ruler : {g_.gHorizRuler, g_.gVertRuler}) {
        if (ruler != nullptr) ruler->Active(rulerActive);
    }

    if (!MainWindowInForeground()) picValueEntry->hide();

    if (!IsOwnWindow(sForeground)) g_.gTargetHwnd = sForeground;

    WindowInfo info = windows.describeWindow(g_.gTargetHwnd);
    // An untitled foreground window (the desktop, a panel) never replaces a
    // target that has been seen before.
    if (info.title.empty() && sLastTarget != 0) {
        g_.gTargetHwnd = sLastTarget;
        info = windows.describeWindow(g_.gTargetHwnd);
    }
    sLastTarget = g_.gTargetHwnd;
    mTitle = cutToCharacters(info.title, kTitleCharacters);

    const QString title = q(mTitle);
    if (lblWindowText->text() != title) {
        lblWindowText->setText(title);
        lblWindowText->adjustSize();
        lblWindowText_Change();
    }
    // Setting a tip sends an event even when it is unchanged; the poll runs ten
    // times a second.
    if (lblWindowText->toolTip() != title) lblWindowText->setToolTip(title);

    if (mTitle != sLastTitle) {
        sLastTitle = mTitle;
        g_.gTrayIcon.szTip = cutToCharacters(kTipPrefix + mTitle, NotifyIcon::kTipCharacters);
        desktop_.notifyIcon.modify(g_.gTrayIcon.szTip);
    }

    const bool landing = ChangeStillLanding(info);
    if (!landing) setDimensionLabels(DimensionTexts(info.rect));
    if (!mHidden && !mDragging) PlaceImage(ScreenToView(info.rect, LayoutScale()));

    TellRulers(info);
    g_.gWindowState = static_cast<std::int16_t>(info.showState);
    const int option = OptionForShowState(g_.gWindowState);
    if (!landing && option >= 0 && !mHidden && !optWindowControl[option]->isChecked()) {
        // A selection by the monitor runs the button's click action, as a
        // user's click would.
        optWindowControl[option]->setChecked(true);
        optWindowControl_Click(option);
    }
}

void Form1::ExpectChange(std::optional<Rect> rect, int showState, std::chrono::milliseconds within) {
    mExpected = ExpectedChange{g_.gTargetHwnd, rect, showState, std::nullopt,
                               std::chrono::steady_clock::now() + within};
}

bool Form1::ChangeStillLanding(const WindowInfo& info) {
    if (!mExpected) return false;
    ExpectedChange& e = *mExpected;
    // A show command has landed once the state is there and the frame has
    // stopped moving (window managers animate minimising and restoring).
    const bool landed = e.rect ? info.rect == *e.rect
                               : info.showState == e.showState && e.lastSeen == info.rect;
    e.lastSeen = info.rect;
    const bool gone = info.showState == kShowStateFailed;
    if (landed || gone || e.window != g_.gTargetHwnd || std::chrono::steady_clock::now() >= e.until) {
        mExpected.reset();
        return false;
    }
    return true;
}

DimensionLabels Form1::dimensionLabels() const {
    DimensionLabels labels;
    for (int i = 0; i < 6; ++i) labels[i] = lblWindowDimension[i]->text().toStdString();
    return labels;
}

void Form1::setDimensionLabels(const DimensionLabels& labels) {
    for (int i = 0; i < 6; ++i) {
        const QString text = q(labels[i]);
        if (lblWindowDimension[i]->text() != text) lblWindowDimension[i]->setText(text);
    }
}

}  // namespace sw
