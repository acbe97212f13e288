// Carries out one command on one window and says, once, how it ended: at once for get, else when
// the window is where it was asked to be or the time for it is up, with where it ended.
#pragma once

#include <chrono>
#include <functional>
#include <optional>

#include <QObject>

#include "clock.h"
#include "windowcommand.h"

class QTimer;

namespace sw {

class CommandRunner final : public QObject {
    Q_OBJECT

public:
    // How the command reaches the window: the running program shows it at once as well.
    struct Acts {
        std::function<void(WindowId, const Placement&)> place;
        std::function<void(WindowId, ShowCommand)> show;
    };
    // A window manager gets this long to carry a command out: within the 2 s a command line
    // waits for the running program.
    static constexpr std::chrono::milliseconds kLandingLimit{1500};
    static constexpr std::chrono::milliseconds kLandingCheck{50};

    CommandRunner(WindowSystem& windows, std::vector<Rect> monitors, PresetValues presets,
                  Acts acts, Clock clock, QObject* parent = nullptr);

    // done runs once, perhaps before run returns; the runner deletes itself after it.
    void run(const WindowCommand& command, WindowId window, std::function<void(Reply)> done);

private:
    struct Goal {
        std::optional<Placement> placement;
        WindowState state = WindowState::Normal;
    };
    // Acts on the window; a reply instead when there is nothing to do or it cannot be done.
    std::optional<Reply> start(const WindowCommand& command, const WindowInfo& info);
    void check();
    void finish(Reply reply);

    WindowSystem& windows_;
    std::vector<Rect> monitors_;
    PresetValues presets_;
    Acts acts_;
    Clock clock_;
    QTimer* timer_ = nullptr;
    std::function<void(Reply)> done_;
    WindowId window_ = 0;
    Goal goal_;
    TimePoint until_;
};

}  // namespace sw
