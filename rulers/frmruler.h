// One on-screen ruler, horizontal or vertical: a borderless strip kept above
// every window with a title strip (menu, pointer read-out, lock and close
// buttons), two end handles and a scale strip. The twins are one class told
// which axis it lies along; everything along the axis is in screen pixels, so
// the scale stays true at any device pixel ratio.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include <QPixmap>
#include <QWidget>

#include "app/module1.h"
#include "platform/desktop.h"
#include "rulers/axis.h"
#include "rulers/handledrag.h"
#include "rulers/locking.h"
#include "rulers/measuring.h"
#include "rulers/rulersettings.h"
#include "rulers/scale.h"

class QAction;
class QButtonGroup;
class QLabel;
class QMenu;
class QMessageBox;
class QPushButton;
class QTimer;
class QToolButton;

namespace sw {

// The ruler's menu: "Mode" with "Relative" and "Absolute". Picking an item
// reports the mode; only ChangeMode moves the check marks.
class MenuControl {
public:
    explicit MenuControl(QWidget* owner);
    void ChangeMode(std::int32_t mode);
    QMenu* MenuPopup = nullptr;
    QAction* mnuPopupModeRelative = nullptr;
    QAction* mnuPopupModeAbsolute = nullptr;
    std::function<void(std::int32_t mode)> ModeChanged;
};

class ScaleStrip;
class TitleStrip;
class DragHandle;

class frmRuler final : public QWidget {
public:
    frmRuler(Axis axis, Module1& g, Desktop& desktop);
    ~frmRuler() override;

    Axis axis() const { return axis_; }
    bool isLoaded() const { return mLoaded; }
    // Builds the ruler the first time it is needed; later calls do nothing.
    void Form_Load();
    // Stops the ruler's timer; the settings are written by SaveRulerConfig.
    void Unload();

    // Colours the title strip like an active or an inactive caption.
    void Active(bool isActive);
    // Every move of the window arrives here.
    void RulerMoved();
    void PositionLegend();

    // The follow poll, given the target's rectangle as the monitor read it.
    void tmrWindowPosition_Timer(const Rect& target);
    // The 10 ms pointer tick (horizontal ruler only; it drives both rulers).
    void tmrMousePosition_Timer();

    // Writes the free place and length (and, horizontal, the scale mode). Reads
    // only fields, so it can run when the display has gone.
    bool SaveRulerConfig() const;

    void optLock_Click(std::int32_t mode);
    void SetLockMode(std::int32_t newMode);
    void cmdMenu_Click();
    void ApplyScaleMode(std::int32_t mode);
    void cmdClose_Click();

    // Where the ruler is, in screen pixels: its start edge, its edge across the
    // axis and its length.
    std::int32_t edgePx() const { return mEdge; }
    std::int32_t acrossPx() const { return mAcross; }
    std::int32_t length() const { return mLength; }
    std::int32_t lockMode() const { return mLock.mLockMode; }
    // Where the scale strip starts in the ruler, in screen pixels.
    std::int32_t legendOffset() const { return mLegendOffset; }
    const ScaleMarks& marks() const { return mMarks; }
    // The highlight and measure lines, in strip co-ordinates.
    std::int32_t highlight() const { return mHighlight; }
    std::optional<std::pair<std::int32_t, std::int32_t>> measureLine() const { return mMeasure; }
    // The screen pixel of the ruler's window that shows strip position `pos`.
    std::int32_t stripToRuler(std::int32_t pos) const { return pos + mLegendOffset; }

    // Shown by the pointer tick: this ruler's lines.
    void setHighlight(std::int32_t pos);
    void setMeasure(std::optional<std::pair<std::int32_t, std::int32_t>> line);

    // Controls.
    QWidget* picRegion = nullptr;
    std::array<DragHandle*, 2> picDrag{};
    TitleStrip* picTitlebar = nullptr;
    QPushButton* cmdMenu = nullptr;
    QWidget* picControlBox = nullptr;
    QToolButton* optLockScreen = nullptr;
    QToolButton* optLockWindow = nullptr;
    QToolButton* optLockFree = nullptr;
    QToolButton* cmdClose = nullptr;
    QLabel* lblMousePosition = nullptr;
    QLabel* lblMeasure = nullptr;
    ScaleStrip* picLegend = nullptr;
    QPushButton* cmdFocus = nullptr;
    MenuControl* MenuControl1 = nullptr;
    QTimer* tmrMousePosition = nullptr;
    // The refusal to lock to a minimised window, while it is shown.
    QMessageBox* lockRefusal = nullptr;

    // Handle and title-strip events, in the handle's own screen pixels.
    void picDrag_MouseDown(int index, int button, double x, double y);
    void picDrag_MouseMove(int index, int button, double x, double y);
    void picDrag_MouseUp(int index);
    void picTitlebar_MouseDown(QPoint globalPx);
    void picTitlebar_MouseMove(QPoint globalPx);
    void picTitlebar_MouseUp();

protected:
    void moveEvent(QMoveEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void createControls();
    void createTitleControls();
    void ColourCaption();
    void LoadRulerConfig();
    void DrawScale();
    void picRegion_Resize();
    void picTitlebar_Resize();
    // Puts the window at the fields' place and size.
    void placeWindow();
    void setPlace(double edgePx, std::int32_t length);
    double dpr() const;
    int logical(double px) const;
    RulerPlace currentPlace() const;
    void FollowTo(const RulerPlace& place);
    frmRuler* vertical() const;

    Axis axis_;
    Module1& g_;
    Desktop& desktop_;
    ScreenMetrics mScreen;
    bool mLoaded = false;
    bool mActive = false;
    // Shown since the window manager was last told it is a tool window.
    bool mMarkAgain = false;
    QButtonGroup* lockGroup_ = nullptr;

    // Place and length in screen pixels; the window shows them.
    std::int32_t mEdge = 0;
    std::int32_t mAcross = 0;
    std::int32_t mLength = kDefaultRulerLength;
    std::int32_t mStripLength = 0;
    std::int32_t mLegendOffset = 0;

    LockState mLock;
    WindowFollower mFollower;
    HandleDrag mHandleDrag;
    PointerTracker mTracker;

    // The title-strip drag of the program's own move loop.
    std::optional<QPoint> mTitlebarDownPos;
    QPoint mMoveStart;

    ScaleMarks mMarks;
    std::int32_t mHighlight = -1;
    std::string mShownPosition;
    std::string mShownMeasure;
    std::optional<std::pair<std::int32_t, std::int32_t>> mMeasure;

    friend class ScaleStrip;
};

}  // namespace sw
