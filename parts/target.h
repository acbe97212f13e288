// The target window as the program shows it: the window every command acts on, as its watcher
// last chose and read it, and the commands sent to it. What a command asks for is shown at once
// and kept until the change has landed (or the time for it is up), rather than the frames the
// window passes through on the way.
#pragma once

#include <chrono>
#include <optional>

#include <QObject>

#include "clock.h"
#include "desktop.h"
#include "targetwatcher.h"

class QTimer;

namespace sw {

class Target final : public QObject {
    Q_OBJECT

public:
    // How long what a command asked for is shown before what is.
    static constexpr std::chrono::milliseconds kPlacementLanding{300};
    static constexpr std::chrono::milliseconds kShowLanding{500};
    // While a command's change is landing it is looked at this often: a window that refuses the
    // change, or has stopped moving, tells nothing more.
    static constexpr std::chrono::milliseconds kLandingCheck{50};

    Target(WindowSystem& windows, Clock clock, QObject* parent = nullptr);

    // The watcher picks the first target and follows the desktop until stop().
    void start();
    void stop();
    // A reading as soon as the spacing allows (the main window came into view).
    void readSoon();

    const TargetReading& reading() const { return reading_; }
    WindowId window() const { return reading_.window; }
    const Rect& frame() const { return reading_.frame; }

    // The target gets exactly this outer frame, and is raised and activated.
    void place(const Placement& placement);
    // The top-left corner goes there; the size is the one shown.
    void moveTo(Point topLeft);
    // The size becomes this; the top-left corner is the one shown.
    void resizeTo(std::int32_t width, std::int32_t height);
    void show(ShowCommand command);
    // After a command given by keyboard on one of the program's windows: that window is
    // activated again, so that the user's keyboard stays where it was (commands activate the
    // target).
    void keepForeground(WindowId own);

signals:
    // A reading, or a command that changed what is shown.
    void changed(const sw::TargetReading& reading);

private:
    struct Expected {
        WindowId window = 0;
        std::optional<Rect> frame;              // a placement's outcome
        WindowState state = WindowState::Gone;  // a show command's outcome
        std::optional<Rect> lastSeen;
        TimePoint until;
    };

    void take(TargetReading reading);
    bool stillLanding(const TargetReading& reading);

    WindowSystem& windows_;
    Clock clock_;
    TargetWatcher* watcher_ = nullptr;
    QTimer* landingCheck_ = nullptr;
    TargetReading reading_;
    std::optional<Expected> expected_;
};

}  // namespace sw
