// One on-screen ruler, horizontal or vertical: a borderless strip kept above every window with a
// title strip (menu, pointer read-out, lock and close buttons), two end handles and a scale
// strip. The twins are one class told which axis it lies along; everything along the axis is in
// screen pixels, so the scale stays true at any device pixel ratio. It reports what the user did
// that concerns both rulers (the scale mode, closing) through signals.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>

#include <QMessageBox>
#include <QPointer>
#include <QWidget>

#include "axis.h"
#include "desktop.h"
#include "handledrag.h"
#include "locking.h"
#include "measuring.h"
#include "rulersettings.h"
#include "scale.h"

class QAction;
class QButtonGroup;
class QLabel;
class QMenu;
class QPushButton;
class QToolButton;

namespace sw {

class DragHandle;
class ScaleStrip;
class ScreenModel;
class Target;
class TitleStrip;

// The ruler's menu: "Mode" with "Relative" and "Absolute". Choosing an entry reports the mode;
// only setMode moves the check marks.
class ScaleModeMenu final : public QObject {
    Q_OBJECT

public:
    // The menu is a window of owner's.
    explicit ScaleModeMenu(QWidget* owner);
    void setMode(ScaleMode mode);
    // "Measure": where SHIFT+clicks on other windows cannot be taken, the way to start measuring.
    void offerMeasure(bool offered);
    void popup(QPoint at);

signals:
    void chosen(sw::ScaleMode mode);
    void measureChosen();

private:
    QMenu* menu_ = nullptr;
    QAction* measure_ = nullptr;
    QAction* relative_ = nullptr;
    QAction* absolute_ = nullptr;
};

class RulerWindow final : public QWidget {
    Q_OBJECT

public:
    // Locked to the target, it reads the target's frame.
    RulerWindow(Axis axis, WindowSystem& windows, const ScreenModel& screen, const Target& target);
    ~RulerWindow() override;

    Axis axis() const { return axis_; }
    bool isLoaded() const { return loaded_; }
    // Builds the ruler at the stored place, in the scale mode.
    void load(const StoredRuler& stored, ScaleMode mode);
    // What is saved: the free place while locked. Reads only fields, so it can run when the
    // display has gone.
    StoredRuler placeToSave() const;
    // Where the ruler starts along its axis, in screen pixels.
    std::int32_t edge() const { return edge_; }

    // Colours the title strip like an active or an inactive caption.
    void setActiveCaption(bool active);
    // A ruler locked to the target follows the frame just read.
    void followTarget(const Rect& frame);
    void setScaleMode(ScaleMode mode);
    void offerMeasure(bool offered);

    // What the pointer work shows: this ruler's red line and measure line (in strip
    // co-ordinates) and, on the horizontal ruler, the read-outs.
    void showPointer(std::int32_t highlight, std::optional<std::pair<int, int>> measure);
    void showReadout(const PointerReadout& readout);

signals:
    // The close button or the window manager's close: both rulers hide.
    void closeClicked();
    // A mode was chosen from the menu.
    void modeChosen(sw::ScaleMode mode);
    // "Measure" was chosen from the menu.
    void measureChosen();
    void moved();

protected:
    void moveEvent(QMoveEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void createControls();
    void createTitleControls();
    void createLockButtons();
    void connectHandles();
    void colourCaption();
    void drawScale();
    void layOut();
    void placeControlBox();
    void placeScale();
    void rulerMoved();
    // The monitor holding the ruler's centre, or the nearest.
    Rect monitorUnder() const;
    void followMonitor();
    void followScreen();
    void setLock(RulerLock lock);
    void refuseLock();
    void openMenu();
    // The measure read-out beside the co-ordinates, in the room left before the lock buttons.
    void fitMeasure();
    void stretch(int handle, int button, double x, double y);
    void startMove(QPoint globalPx);
    void moveBy(QPoint globalPx);
    // Puts the window at the fields' place and size.
    void placeWindow();
    void setPlace(double edgePx, std::int32_t length);
    int logical(double px) const;
    RulerPlace currentPlace() const;

    // The gap between the read-outs, and before the lock buttons.
    static constexpr int kReadoutGap = 4;

    Axis axis_;
    WindowSystem& windows_;
    const ScreenModel& screen_;
    const Target& target_;
    ScaleMode mode_ = ScaleMode::Relative;
    bool loaded_ = false;
    bool active_ = false;
    // Shown since the window manager was last told it is a tool window.
    bool markAgain_ = false;

    QWidget* region_ = nullptr;
    std::array<DragHandle*, 2> handles_{};
    TitleStrip* titleStrip_ = nullptr;
    QPushButton* menuButton_ = nullptr;
    QWidget* controlBox_ = nullptr;
    QButtonGroup* lockGroup_ = nullptr;
    QToolButton* closeButton_ = nullptr;
    QLabel* position_ = nullptr;
    QLabel* measure_ = nullptr;
    ScaleStrip* scale_ = nullptr;
    ScaleModeMenu* menu_ = nullptr;
    // The refusal to lock to a minimised window, while it is shown; a guarded pointer, as the
    // box deletes itself when closed.
    QPointer<QMessageBox> lockRefusal_;

    // Place and length in screen pixels; the window shows them.
    std::int32_t edge_ = 0;
    std::int32_t across_ = 0;
    std::int32_t length_ = kDefaultRulerLength;
    std::int32_t stripLength_ = 0;

    LockState lock_;
    TargetFollower follower_;
    HandleDrag handleDrag_;

    // The title-strip drag of the program's own move loop.
    std::optional<QPoint> moveGrab_;
    QPoint moveStart_;

    // What the read-outs show.
    PointerReadout shown_;
};

}  // namespace sw
