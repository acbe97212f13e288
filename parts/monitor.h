// The monitor: whenever the desktop says something changed, it reads which
// window is in the foreground, decides the target (never one of the program's
// own windows, never an untitled window once a target has been seen) and reads
// the target's title, rectangle and state, then tells whoever shows them.
#pragma once

#include <chrono>
#include <optional>

#include <QObject>

#include "desktop.h"

class QTimer;

namespace sw {

class Target;

// What one poll found.
struct TargetReading {
    WindowId foreground = 0;
    bool foregroundIsOwn = false;  // one of the program's own windows
    WindowInfo target;             // the title cut to 254 characters
    Rect shown;                    // the rectangle as the program shows it (ShownRect)
    // A command's change has not landed yet: what it was meant to do is shown
    // until it has (or the time is up), not the frames it passes through.
    bool landing = false;
};

class TargetMonitor final : public QObject {
    Q_OBJECT

public:
    // How long the values wait for a command to land before showing what is.
    static constexpr std::chrono::milliseconds kPlacementLanding{300};
    static constexpr std::chrono::milliseconds kShowLanding{500};
    // A burst of changes is read at its first change, then at most this often.
    static constexpr std::chrono::milliseconds kReadSpacing{10};
    // While a command's change is landing it is looked at this often: a window
    // that refuses the change, or has stopped moving, tells nothing more.
    static constexpr std::chrono::milliseconds kLandingCheck{50};

    TargetMonitor(WindowSystem& windows, Target& target, QObject* parent = nullptr);

    // Readings follow the desktop's changes from a first one now until stop().
    void start();
    void stop();
    // One reading now (`tmrCheckActiveWindow_Timer`, run by the desktop's changes
    // rather than a clock).
    void Poll();
    // A reading as soon as the spacing allows, from the event loop.
    void ReadSoon();
    // The desktop says something changed: read in this turn if the spacing allows.
    void DesktopChanged();

signals:
    void targetRead(const sw::TargetReading& reading);

private:
    // Whether a window is one of the program's own.
    static bool IsOwnWindow(WindowId window);
    void ExpectPlacement(const Placement& placement);
    void ExpectShow(ShowCommand command);
    bool ChangeStillLanding(const WindowInfo& info);

    WindowSystem& windows_;
    Target& target_;
    QTimer* tmrCheckActiveWindow = nullptr;  // the next reading, when one is due
    QTimer* landingCheck_ = nullptr;
    std::chrono::steady_clock::time_point lastRead_;
    bool running_ = false;
    WindowId sLastTarget = 0;

    struct ExpectedChange {
        WindowId window = 0;
        std::optional<Rect> rect;               // a placement's outcome
        WindowState state = WindowState::Gone;  // a show command's outcome
        std::optional<Rect> lastSeen;
        std::chrono::steady_clock::time_point until;
    };
    std::optional<ExpectedChange> mExpected;
};

}  // namespace sw
