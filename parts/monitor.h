// The monitor: ten times a second it reads which window is in the foreground,
// decides the target (never one of the program's own windows, never an untitled
// window once a target has been seen) and reads the target's title, rectangle
// and state, then tells whoever shows them.
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
    WindowInfo target;  // the title cut to 254 characters
    Rect shown;         // the rectangle as the program shows it (ShownRect)
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

    TargetMonitor(WindowSystem& windows, Target& target, QObject* parent = nullptr);

    // The 100 ms poll; it runs from the start until the program ends.
    void start();
    void stop();
    // One poll (`tmrCheckActiveWindow_Timer`).
    void Poll();

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
    QTimer* tmrCheckActiveWindow = nullptr;
    WindowId sLastTarget = 0;

    struct ExpectedChange {
        WindowId window = 0;
        std::optional<Rect> rect;                // a placement's outcome
        WindowState state = WindowState::Gone;   // a show command's outcome
        std::optional<Rect> lastSeen;
        std::chrono::steady_clock::time_point until;
    };
    std::optional<ExpectedChange> mExpected;
};

}  // namespace sw
