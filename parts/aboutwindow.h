// The about window, also the start-up splash: the program's name, version, copyright and warning
// notices and its picture. As a splash it closes itself after three seconds and has no Close
// button; as the about window it stays until Close is pressed. Each showing is a window of its
// own, which goes when it closes.
#pragma once

#include <chrono>

#include <QDialog>

#include "desktop.h"

class QLabel;
class QPushButton;

namespace sw {

class ScreenModel;

class AboutWindow final : public QDialog {
    Q_OBJECT

public:
    enum class Role { Splash, About };
    static constexpr std::chrono::milliseconds kSplashTime{3000};

    // Centred on the monitor that holds most of owner (the primary one without an owner).
    AboutWindow(Role role, WindowSystem& windows, const ScreenModel& screen, QWidget* owner);

protected:
    void showEvent(QShowEvent* event) override;
    // The fixed dialog frame, drawn here: the window manager gives this window no decoration.
    void paintEvent(QPaintEvent* event) override;
    // Esc would close the splash early; only the timer and Close do.
    void reject() override {}

private:
    void createControls(Role role);

    WindowSystem& windows_;
    const ScreenModel& screen_;
};

// The version line: "Version " and major.minor.revision of this build.
QString versionLine();

}  // namespace sw
