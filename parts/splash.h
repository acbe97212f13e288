// The about window, also the start-up splash: the program's name, version,
// copyright and warning notices and its picture. As a splash it closes itself
// after three seconds and has no Close button; as the about box it stays until
// Close is pressed.
#pragma once

#include <chrono>

#include <QDialog>

#include "desktop.h"

class QLabel;
class QPushButton;
class QTimer;

namespace sw {

class frmSplash final : public QDialog {
public:
    static constexpr std::chrono::milliseconds kShowTime{3000};

    frmSplash(WindowSystem& windows, const ScreenMetrics& screen, QWidget* owner);

    // Closes itself after `timed` (never when zero); shows Close with allowClose.
    void Prepare(std::chrono::milliseconds timed, bool allowClose);

protected:
    void showEvent(QShowEvent* event) override;
    // The fixed dialog frame, drawn here: the window manager gives this window
    // no decoration at all.
    void paintEvent(QPaintEvent* event) override;
    // Esc would close the splash early; only the timer and Close do.
    void reject() override {}

private:
    void createControls();
    void Form_Load();
    void tmrShow_Timer();
    void cmdClose_Click();

    WindowSystem& windows_;
    const ScreenMetrics& screen_;
    QWidget* Picture1 = nullptr;
    QLabel* Image1 = nullptr;
    QLabel* lblProductName = nullptr;
    QLabel* lblVersion = nullptr;
    QLabel* lblCopyright = nullptr;
    QLabel* lblWarning = nullptr;
    QPushButton* cmdClose = nullptr;
    QTimer* tmrShow = nullptr;
};

// The about window as the main window shows it: one at a time, made afresh for
// every showing, so that each loads its labels anew.
class About final : public QObject {
public:
    About(QWidget* owner, WindowSystem& windows, const ScreenMetrics& screen);

    // `ShowAbout`: with timed, the window closes itself after three seconds (the
    // start-up splash); with allowClose, it has a Close button. Modal to the
    // owner only; returns once the window has closed.
    void ShowAbout(bool timed, bool allowClose);
    // Closes the window if it is showing (a right click on the notification
    // icon does).
    void CloseSplash();

private:
    QWidget* owner_;
    WindowSystem& windows_;
    const ScreenMetrics& screen_;
    frmSplash* mSplash = nullptr;
};

// The version line: "Version " and major.minor.revision of this build.
QString VersionLine();

}  // namespace sw
