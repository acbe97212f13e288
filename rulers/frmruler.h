// One on-screen ruler, horizontal or vertical: a borderless strip kept above
// every window with a title strip (menu, pointer read-out, lock and close
// buttons), two end handles and a scale strip. The twins are one class told
// which axis it lies along; everything along the axis is in screen pixels, so
// the scale stays true at any device pixel ratio. It reports what the user did
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
class Target;
class TitleStrip;

// The ruler's menu: "Mode" with "Relative" and "Absolute". Picking an item
// reports the mode; only ChangeMode moves the check marks.
class MenuControl final : public QObject {
    Q_OBJECT

public:
    explicit MenuControl(QWidget* owner);
    void ChangeMode(std::int32_t mode);
    QMenu* MenuPopup = nullptr;

signals:
    void ModeChanged(std::int32_t mode);

private:
    QAction* mnuPopupModeRelative = nullptr;
    QAction* mnuPopupModeAbsolute = nullptr;
};

class frmRuler final : public QWidget {
    Q_OBJECT

public:
    // Reads the target's rectangle through windows when it locks to it.
    frmRuler(Axis axis, WindowSystem& windows, const Target& target);
    ~frmRuler() override;

    Axis axis() const { return axis_; }
    bool isLoaded() const { return mLoaded; }
    // Builds the ruler for the screen at the stored place, in the scale mode.
    void Form_Load(const ScreenMetrics& screen, const StoredRuler& stored, std::int32_t mode);
    // What is saved: the free place while locked. Reads only fields, so it can
    // run when the display has gone.
    StoredRuler RulerToSave() const;

    // Colours the title strip like an active or an inactive caption.
    void Active(bool isActive);
    // Follows a target locked to (`tmrWindowPosition`), given the rectangle the
    // monitor has just read.
    void FollowTarget(const Rect& shown);
    // The monitors changed: the ruler comes back onto one if it is out of sight,
    // and a ruler locked to the screen spans its monitor anew.
    void ScreenChanged(const ScreenMetrics& screen);
    // The scale mode of both rulers (0 relative, else absolute).
    void ApplyScaleMode(std::int32_t mode);
    void SetLockMode(std::int32_t newMode);

    // What the pointer work shows: this ruler's red line and measure line (in
    // strip co-ordinates) and, on the horizontal ruler, the read-outs.
    void setHighlight(std::int32_t pos);
    void setMeasure(std::optional<std::pair<std::int32_t, std::int32_t>> line);
    void ShowReadout(const PointerReadout& readout);

    // Where the ruler is, in screen pixels: its start edge, its edge across the
    // axis and its length.
    std::int32_t edgePx() const { return mEdge; }
    std::int32_t acrossPx() const { return mAcross; }
    std::int32_t length() const { return mLength; }
    std::int32_t lockMode() const { return mLock.mLockMode; }
    // Where the scale strip starts in the ruler, in screen pixels.
    std::int32_t legendOffset() const;
    const ScaleMarks& marks() const { return mMarks; }
    std::int32_t highlight() const;
    std::optional<std::pair<std::int32_t, std::int32_t>> measureLine() const;

signals:
    // The close button or the window manager's close: both rulers hide.
    void closeClicked();
    // A mode was chosen from the menu.
    void modeChosen(std::int32_t mode);
    // The ruler moved (`RulerMoved`).
    void moved();

protected:
    void moveEvent(QMoveEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void createControls();
    void createTitleControls();
    void createLockButtons();
    void connectHandles();
    void ColourCaption();
    void DrawScale();
    void picRegion_Resize();
    void picTitlebar_Resize();
    void PositionLegend();
    void RulerMoved();
    // The monitor holding the ruler's centre, or the nearest.
    Rect monitorUnder() const;
    void FollowMonitor();
    void optLock_Click(std::int32_t mode);
    void RefuseLock();
    void cmdMenu_Click();
    void picDrag_MouseMove(int index, int button, double x, double y);
    void picTitlebar_MouseDown(QPoint globalPx);
    void picTitlebar_MouseMove(QPoint globalPx);
    // Puts the window at the fields' place and size.
    void placeWindow();
    void setPlace(double edgePx, std::int32_t length);
    double dpr() const;
    int logical(double px) const;
    RulerPlace currentPlace() const;

    Axis axis_;
    WindowSystem& windows_;
    const Target& target_;
    ScreenMetrics mScreen;
    std::int32_t mMode = 0;
    bool mLoaded = false;
    bool mActive = false;
    // Shown since the window manager was last told it is a tool window.
    bool mMarkAgain = false;

    QWidget* picRegion = nullptr;
    std::array<DragHandle*, 2> picDrag{};
    TitleStrip* picTitlebar = nullptr;
    QPushButton* cmdMenu = nullptr;
    QWidget* picControlBox = nullptr;
    QButtonGroup* lockGroup_ = nullptr;
    QToolButton* cmdClose = nullptr;
    QLabel* lblMousePosition = nullptr;
    QLabel* lblMeasure = nullptr;
    ScaleStrip* picLegend = nullptr;
    QPushButton* cmdFocus = nullptr;
    MenuControl* MenuControl1 = nullptr;
    // The refusal to lock to a minimised window, while it is shown; a guarded
    // pointer, as the box deletes itself when closed.
    QPointer<QMessageBox> lockRefusal;

    // Place and length in screen pixels; the window shows them.
    std::int32_t mEdge = 0;
    std::int32_t mAcross = 0;
    std::int32_t mLength = kDefaultRulerLength;
    std::int32_t mStripLength = 0;

    LockState mLock;
    WindowFollower mFollower;
    HandleDrag mHandleDrag;

    // The title-strip drag of the program's own move loop.
    std::optional<QPoint> mTitlebarDownPos;
    QPoint mMoveStart;

    ScaleMarks mMarks;
    std::string mShownPosition;
    std::string mShownMeasure;
};

}  // namespace sw
