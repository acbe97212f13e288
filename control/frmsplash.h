// The about window, also the start-up splash: the program's name, version,
// copyright and warning notices and its picture. As a splash it closes itself
// after three seconds and has no Close button; as the about box it stays until
// Close is pressed.
#pragma once

#include <chrono>

#include <QDialog>

#include "platform/desktop.h"

class QLabel;
class QPushButton;
class QTimer;

namespace sw {

class frmSplash final : public QDialog {
public:
    static constexpr std::chrono::milliseconds kShowTime{3000};

    frmSplash(Desktop& desktop, QWidget* owner);

    void Form_Load();
    void tmrShow_Timer();
    void cmdClose_Click();

    QWidget* Picture1 = nullptr;
    QLabel* Image1 = nullptr;
    QLabel* lblProductName = nullptr;
    QLabel* lblVersion = nullptr;
    QLabel* lblCopyright = nullptr;
    QLabel* lblWarning = nullptr;
    QPushButton* cmdClose = nullptr;
    QTimer* tmrShow = nullptr;

protected:
    void showEvent(QShowEvent* event) override;
    // The fixed dialog frame, drawn here: the window manager gives this window
    // no decoration at all.
    void paintEvent(QPaintEvent* event) override;
    // Esc would close the splash early; only the timer and Close do.
    void reject() override {}

private:
    void createControls();

    Desktop& desktop_;
};

// The version line: "Version " and major.minor.revision of this build.
QString VersionLine();

}  // namespace sw
