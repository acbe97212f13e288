// The main window: the 100 ms monitor of the target window, the six dimension
// labels and their entry panel, the window-state buttons, the size presets, the
// layout view, the title marquee, help and links, the about window, the
// notification icon and pop-up menu, hiding to the notification area, the
// settings and the orderly shutdown.
#pragma once

#include <array>
#include <chrono>
#include <cstdint>
#include <optional>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QWidget>

#include "app/module1.h"
#include "control/dimensionedit.h"
#include "control/settings.h"
#include "mainwindow/layoutview.h"
#include "mainwindow/marquee.h"
#include "platform/desktop.h"

class QAction;
class QButtonGroup;
class QFrame;
class QLabel;
class QMenu;
class QPushButton;
class QTimer;
class QToolButton;

namespace sw {

class ClickLabel;
class HelpWindow;
class ImageBox;
class frmRuler;
class frmSplash;
class ValueBox;

class Form1 final : public QWidget {
public:
    // Why the window is being unloaded.
    enum UnloadMode : int {
        kUnloadControlMenu = 0,  // the user's close box: only hides
        kUnloadCode = 1,         // "Exit"
        kUnloadSession = 2,      // the session ends or the display went away
        kUnloadTaskManager = 3,  // a termination signal
    };

    // endProcess runs once the window has unloaded, with the exit status.
    Form1(Module1& g, Desktop& desktop, std::function<void(int status)> endProcess,
          QWidget* parent = nullptr);
    ~Form1() override;

    // Moves the keyboard focus to the hidden focus button, so that no visible
    // control keeps a focus mark.
    void LoseFocus();

    // The hide entry's two captions; the letter after & chooses it from the keyboard.
    static constexpr const char* kHideCaption = "&Hide";
    static constexpr const char* kShowCaption = "&Show";

    // How long the values wait for a command to land before showing what is.
    static constexpr std::chrono::milliseconds kPlacementLanding{300};
    static constexpr std::chrono::milliseconds kShowLanding{500};

    // Unloads the window unless the mode only hides it; the one way out.
    void Unload(int unloadMode);
    bool isUnloaded() const { return mUnloaded; }
    // The way out when the display has gone: saves the settings and marks the
    // window unloaded without touching a widget or the display. Runs once.
    void UnloadWithoutDisplay();

    // Shows and raises the main window wherever it is (hidden, minimised).
    void BringToFront();

    // Settings.
    void LoadConfig();
    // False, with the reason, when the settings could not be saved. Reads no
    // widget and asks nothing of the display, so it can run after the display
    // has gone.
    bool SaveConfig(std::string* why = nullptr);

    // Layout view and presets.
    void DrawForm();
    void RefreshMenu();
    void ShowRulers(bool state);

    // Event handlers.
    void Form_Load();
    void Form_Resize();
    void Form_MouseDown();
    void Form_MouseMove(std::uint32_t message);  // notification-icon messages
    bool Form_QueryUnload(int unloadMode);        // true cancels the unload
    void Form_Unload();
    void lblMenu_Click();
    void mnuHide_Click();
    void mnuExit_Click();
    void tmrCheckActiveWindow_Timer();
    void Label1_Click(int index);
    void lblWindowDimension_Click(int index);
    void txtValue_GotFocus();
    void txtValue_LostFocus();
    void cmdOk_Click();
    void cmdCancel_Click();
    void optWindowControl_Click(int index);
    void cmdZeroWindow_Click();
    void chkShowLayout_Click();
    void chkShowRulers_Click();
    void mnuOptionsShowRuler_Click();
    void mnuOptionsShowLayout_Click();
    void imgWindow_MouseDown(Qt::MouseButton button, QPoint at);
    void imgWindow_MouseMove(Qt::MouseButtons held, QPoint at);
    void imgWindow_MouseUp();
    void mnuPreset_Click(int index);
    void cmdPreset_Click(int index);
    void mnuEditPresets_Click();
    void mnuAbout_Click();
    void mnuHelpContents_Click();
    void cmdMailto_Click();
    void cmdWebLink_Click();
    void tmrScroll_Timer();
    void tmrScrollPause_Timer();
    void lblWindowText_Change();

    // The about window: with timed, it closes itself after three seconds (the
    // start-up splash); with allowClose, it has a Close button. Returns once the
    // window has closed.
    void ShowAbout(bool timed, bool allowClose);
    // How long the start-up splash stays; tests that are not about it shorten it.
    std::chrono::milliseconds mSplashTime{3000};
    // Clips the web button to its ellipse.
    void MakeRoundButton();
    // The e-mail and web links the two buttons open.
    static std::string MailtoLink();
    static std::string WebLink();

    // The six value labels' texts, and writing them back.
    DimensionLabels dimensionLabels() const;
    void setDimensionLabels(const DimensionLabels& labels);
    // The target placement call: places the target from labels 0, 1, 4 and 5.
    void PlaceTarget();
    // Whether a window is one of the program's own.
    bool IsOwnWindow(WindowId window) const;
    // The reason the entry panel last refused a value.
    const std::string& valueRefusal() const { return mValueRefusal; }

    // Controls.
    ClickLabel* lblMenu = nullptr;
    QLabel* lblWatchingWindow = nullptr;
    QLabel* lblWindowText = nullptr;
    std::array<ClickLabel*, 6> Label1{};
    std::array<ClickLabel*, 6> lblWindowDimension{};
    QFrame* picValueEntry = nullptr;
    ValueBox* txtValue = nullptr;
    QToolButton* cmdCancel = nullptr;
    QToolButton* cmdOk = nullptr;
    std::array<QToolButton*, 3> optWindowControl{};
    QPushButton* cmdZeroWindow = nullptr;
    QPushButton* cmdFocus = nullptr;
    QTimer* tmrCheckActiveWindow = nullptr;
    std::array<QToolButton*, kPresetSlots> cmdPreset{};
    QToolButton* chkShowLayout = nullptr;
    QToolButton* chkShowRulers = nullptr;
    QFrame* picScreen = nullptr;
    ImageBox* imgWindow = nullptr;
    QMenu* mnuPopup = nullptr;
    QMenu* mnuOptions = nullptr;
    QAction* mnuOptionsShowLayout = nullptr;
    QAction* mnuOptionsShowRuler = nullptr;
    QAction* mnuEditPresets = nullptr;
    QMenu* mnuPresets = nullptr;
    std::array<QAction*, kPresetSlots> mnuPreset{};
    QAction* mnuAbout = nullptr;
    QMenu* mnuHelp = nullptr;
    QAction* mnuHelpContents = nullptr;
    QAction* mnuHide = nullptr;
    QAction* mnuExit = nullptr;
    QWidget* picScroll = nullptr;
    QLabel* lblScroll = nullptr;
    QTimer* tmrScroll = nullptr;
    QTimer* tmrScrollPause = nullptr;
    QLabel* lblElipses = nullptr;
    QToolButton* cmdMailto = nullptr;
    QToolButton* cmdWebLink = nullptr;
    // The about window while it is open.
    frmSplash* mSplash = nullptr;
    // The help window, once opened; owned by this window.
    HelpWindow* mHelpWindow = nullptr;
    // The help's contents page, empty when none was found, and where it was looked for.
    std::string mHelpFile;
    std::vector<std::string> mHelpSearched;
    // The marquee's motion, in twips.
    std::optional<Marquee> mMarquee;

    // Fields shared with the settings and the layout view.
    bool mHidden = false;
    std::int32_t mWindowLeft = 0;  // twips
    std::int32_t mWindowTop = 0;   // twips
    bool mDragging = false;
    std::int32_t mGrabX = 0;  // view units inside the image
    std::int32_t mGrabY = 0;
    std::int32_t mEditIndex = 0;
    std::string mTitle;
    // The rulers' switch as loaded, saved back at exit.
    bool mShowRuler = true;
    // The layout view's picture box height in twips, from the screen's proportions.
    double mScreenViewHeight = 0;
    // The image's place in view units; the widget shows it rounded to pixels.
    ViewRect mImage{240, 120, 480, 480};

    // State the monitor keeps from one poll to the next.
    WindowId sForeground = 0;
    WindowId sLastTarget = 0;
    std::string sLastTitle;

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;

private:
    void createControls();
    void createMenu();
    void EditDimension(int index);
    void RefuseValue(const std::string& why);
    void createPresetControls();
    void createLayoutControls();
    void createRulerSwitch();
    void createMarqueeControls();
    void createLinkControls();
    void OpenLinkOrSay(const std::string& link);
    void ShowPopup(QAction* defaultEntry);
    void WaitForMenu();
    bool MainWindowInForeground() const;
    double twipsPerPixelX() const { return mScreen.twipsPerPixelX; }
    double twipsPerPixelY() const { return mScreen.twipsPerPixelY; }
    void RememberPosition();
    void PlaceImage(const ViewRect& image);
    ViewScale LayoutScale() const;
    // After a command the target takes a moment to get there; until it has (or
    // the time is up) the poll leaves the values as the command wrote them.
    // A rect of nullopt with a placement: a size the window system cannot take,
    // shown as it comes.
    void ExpectChange(std::optional<Rect> rect, int showState, std::chrono::milliseconds within);

    bool ChangeStillLanding(const WindowInfo& info);
    // The rulers are built the first time the monitor looks for them.
    void LoadRulers();
    void TellRulers(const WindowInfo& target);

    Module1& g_;
    Desktop& desktop_;
    std::function<void(int status)> endProcess_;
    QButtonGroup* optGroup_ = nullptr;
    bool mOpeningEntry = false;
    bool mUnloaded = false;
    std::string mValueRefusal;
    // The screen as read at load: its size and twips per pixel.
    ScreenMetrics mScreen;

    struct ExpectedChange {
        WindowId window = 0;
        std::optional<Rect> rect;  // a placement's outcome
        int showState = 0;         // a show command's outcome, 0 for none
        std::optional<Rect> lastSeen;
        std::chrono::steady_clock::time_point until;
    };
    std::optional<ExpectedChange> mExpected;
    std::unique_ptr<frmRuler> mHorizRuler;
    std::unique_ptr<frmRuler> mVertRuler;
};

}  // namespace sw
