// The main window: it puts its parts together (the title and marquee, the dimensions and their
// entry panel, the window commands, the preset buttons, the layout view, the e-mail and web
// buttons) and keeps what is its own: where it stands, hiding to the notification area and back,
// its height for the layout option, and its close box. What it cannot do itself (the menu, the
// rulers, links) it asks for through signals.
#pragma once

#include <cstdint>

#include <QWidget>

#include "desktop.h"
#include "settings.h"

class QPushButton;
class QToolButton;

namespace sw {

class ClickLabel;
class DimensionPanel;
class LayoutView;
class LinkButtons;
class Presets;
class ScreenModel;
class Target;
class TitleMarquee;

class MainWindow final : public QWidget {
    Q_OBJECT

public:
    MainWindow(WindowSystem& windows, const ScreenModel& screen, Target& target,
               const Presets& presets, QWidget* parent = nullptr);
    ~MainWindow() override;

    // The window's stored settings, before it is first shown: the layout view, whether it was
    // hidden to the notification area, and where it stood.
    void applySettings(const MainSettings& settings);
    // Its share of the settings as they stand now. It reads no widget's place, so it can run
    // after the display has gone.
    void collectSettings(MainSettings& settings) const;
    // Once the window has its size: the round web button, and the window shown unless it was
    // hidden to the notification area.
    void finishStart();
    // The end: the window hides, and closing it no longer only hides it.
    void end();

    bool isHiddenToTray() const { return hidden_; }
    void setHiddenToTray(bool hidden);
    // Shows and raises the window wherever it is (hidden, minimised).
    void bringToFront();
    // The layout view shown or folded, and the rulers' switch, as the menu sets them.
    void setLayoutShown(bool shown);
    void setRulersShown(bool shown);

signals:
    // The user switched the rulers or the layout view on the window itself.
    void rulersSwitched(bool shown);
    void layoutSwitched(bool shown);
    void hiddenChanged(bool hidden);
    // The menu below the "Menu" label (a point of Qt's), or at the pointer (the layout view).
    void menuRequested(QPoint at);
    void pointerMenuRequested();
    void mailRequested();
    void helpRequested();
    void webRequested();
    // The window manager's close box, and a close that is not the user's (the program ends).
    void closeBoxPressed();
    void exitRequested();
    // The window came into view (from the notification area, from its icon or its first
    // showing): what it shows is to be read afresh.
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
    void createControls(Target& target, const Presets& presets);
    void connectParts();
    void setUpKeyboard();
    void fitHeight();
    void rememberPlace();
    void moveToRemembered();
    void bringRememberedOntoMonitor();
    void followScreen();

    WindowSystem& windows_;
    const ScreenModel& screen_;
    ClickLabel* menuLabel_ = nullptr;
    QToolButton* rulersSwitch_ = nullptr;
    DimensionPanel* panel_ = nullptr;
    LayoutView* layout_ = nullptr;
    TitleMarquee* marquee_ = nullptr;
    LinkButtons* links_ = nullptr;
    bool hidden_ = false;
    bool ended_ = false;
    bool screenWatched_ = false;
    // Where the window stands, in twips: kept current while it is shown, and the place it comes
    // back to while it is hidden.
    std::int32_t left_ = 0;
    std::int32_t top_ = 0;
};

}  // namespace sw
