// The main window: it puts the parts together (the dimensions and their entry
// panel, the window commands, the presets, the layout view, the title and
// marquee, the links, the notification icon and pop-up menu, the about window)
// and keeps what is its own: where it stands, hiding to the notification area
// and back, its height for the layout option, and its close box.
#pragma once

#include <cstdint>

#include <QWidget>

#include "desktop.h"
#include "monitor.h"
#include "settings.h"

class QPushButton;
class QToolButton;

namespace sw {

class About;
class ClickLabel;
class DimensionPanel;
class LayoutView;
class Links;
class PresetBar;
class Presets;
class StateButtons;
class Target;
class TitleMarquee;
class TrayMenu;

// Why the main window is being unloaded.
enum UnloadMode : int {
    kUnloadControlMenu = 0,  // the user's close box: only hides
    kUnloadCode = 1,         // "Exit"
    kUnloadSession = 2,      // the session ends
    kUnloadTaskManager = 3,  // a termination signal
};

// What of the desktop the main window uses.
struct MainWindowDesktop {
    WindowSystem& windows;
    PointerInput& pointer;
    Shell& shell;
    NotifyIcon& notifyIcon;
    ScreenMetrics screen;
};

class Form1 final : public QWidget {
    Q_OBJECT

public:
    Form1(const MainWindowDesktop& desktop, Target& target, Presets& presets,
          QWidget* parent = nullptr);
    ~Form1() override;

    // The main window's load, in its order: the icon, the settings, the
    // splash (unless withSplash is false), the height, the round button, the rulers.
    void Form_Load(const MainConfig& config, bool withSplash);
    // The end: the icon removed, the window hidden. Nothing of it runs again.
    void Form_Unload();
    bool isUnloaded() const { return mUnloaded; }

    // The main window's share of the settings, as they stand now; it reads no
    // widget's place, so it can run after the display has gone.
    void CollectConfig(MainConfig& config) const;

    // What the monitor read: title, values, layout image, state buttons.
    void ShowReading(const TargetReading& reading);
    // The monitors changed: the window comes back into sight if it is out of it.
    void ScreenChanged(const ScreenMetrics& screen);
    // The rulers were shown or hidden: the switch and the menu entry follow.
    void ShowRulersState(bool shown);

    // Shows and raises the main window wherever it is (hidden, minimised).
    void BringToFront();
    // Toggles hidden (to the notification area) and shown.
    void mnuHide_Click();
    bool isHiddenToTray() const { return mHidden; }
    // Sets the height for the layout option and keeps the window on top.
    void DrawForm();

signals:
    // The user switched the rulers (the "Rulers" button or the menu entry).
    void rulersSwitched(bool shown);
    void unloadRequested(int unloadMode);
    // The window came back into view (from the notification area, its icon or
    // its first showing): what it shows is to be read afresh.
    void cameIntoView();

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void connectParts();
    void ApplyConfig(const MainConfig& config);
    void lblMenu_Click();
    void OpenFromIcon();
    void PlaceTargetAt(int first, std::int64_t a, int second, std::int64_t b);
    bool SwitchedAway(const TargetReading& reading) const;
    void RememberPosition();
    void MoveToRemembered();
    // The remembered place moved onto the nearest monitor when its title strip is on none.
    void BringRememberedOntoMonitor();

    MainWindowDesktop desktop_;
    // The target's frame as last read (for a minimised window, its restored one).
    Rect mTargetRect;
    ClickLabel* lblMenu = nullptr;
    QToolButton* chkShowRulers = nullptr;
    QPushButton* cmdFocus = nullptr;
    DimensionPanel* panel_ = nullptr;
    StateButtons* stateButtons_ = nullptr;
    PresetBar* presetBar_ = nullptr;
    LayoutView* layout_ = nullptr;
    TitleMarquee* marquee_ = nullptr;
    TrayMenu* tray_ = nullptr;
    Links* links_ = nullptr;
    About* about_ = nullptr;

    bool mHidden = false;
    bool mScreenWatched = false;
    std::int32_t mWindowLeft = 0;  // twips
    std::int32_t mWindowTop = 0;
    bool mUnloaded = false;
};

}  // namespace sw
