// The main window: the 100 ms monitor of the target window, the six dimension
// labels and their entry panel, the window-state buttons, the notification icon
// and pop-up menu, hiding to the notification area and the orderly shutdown.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include <QWidget>

#include "app/module1.h"
#include "control/dimensionedit.h"
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

    // Unloads the window unless the mode only hides it; the one way out.
    void Unload(int unloadMode);
    bool isUnloaded() const { return mUnloaded; }

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
    QMenu* mnuPopup = nullptr;
    QAction* mnuHide = nullptr;
    QAction* mnuExit = nullptr;

    // Fields shared with the settings and the layout view.
    bool mHidden = false;
    std::int32_t mWindowLeft = 0;  // twips
    std::int32_t mWindowTop = 0;   // twips
    bool mDragging = false;
    std::int32_t mEditIndex = 0;
    std::string mTitle;

    // State the monitor keeps from one poll to the next.
    WindowId sForeground = 0;
    WindowId sLastTarget = 0;
    std::string sLastTitle;

protected:
    void closeEvent(QCloseEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    void createControls();
    void createMenu();
    void EditDimension(int index);
    void RefuseValue(const std::string& why);
    void ShowPopup(QAction* defaultEntry);
    bool MainWindowInForeground() const;
    double twipsPerPixelX() const;
    double twipsPerPixelY() const;

    Module1& g_;
    Desktop& desktop_;
    std::function<void(int status)> endProcess_;
    QButtonGroup* optGroup_ = nullptr;
    bool mOpeningEntry = false;
    bool mUnloaded = false;
    std::string mValueRefusal;
};

}  // namespace sw
