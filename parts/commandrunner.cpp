// One command carried out on one window, and its outcome.
#include "commandrunner.h"

#include <QTimer>

#include "monitorgeometry.h"

namespace sw {
namespace {

Reply badUsage(const std::string& why) {
    return Reply{kBadUsage, "", "Sizewise: " + why + "; nothing was done\n"};
}

}  // namespace

CommandRunner::CommandRunner(WindowSystem& windows, std::vector<Rect> monitors,
                             PresetValues presets, Acts acts, Clock clock, QObject* parent)
    : QObject(parent),
      windows_(windows),
      monitors_(std::move(monitors)),
      presets_(presets),
      acts_(std::move(acts)),
      clock_(std::move(clock)),
      timer_(new QTimer(this)) {
    timer_->setInterval(kLandingCheck);
    connect(timer_, &QTimer::timeout, this, &CommandRunner::check);
}

void CommandRunner::run(const WindowCommand& command, WindowId window,
                        std::function<void(Reply)> done) {
    done_ = std::move(done);
    window_ = window;
    const WindowInfo info = windows_.describeWindow(window);
    if (window == 0 || info.state == WindowState::Gone) {
        finish(Reply{kNotDone, "", "Sizewise: there is no window to act on\n"});
        return;
    }
    if (auto reply = start(command, info)) {
        finish(*reply);
        return;
    }
    until_ = clock_() + kLandingLimit;
    check();
    if (done_) timer_->start();
}

std::optional<Reply> CommandRunner::start(const WindowCommand& command, const WindowInfo& info) {
    const Rect& frame = info.rect;
    std::string why;
    switch (command.verb) {
        case Verb::Get:
            return Reply{
                kDone,
                describeForCommand(window_, info, monitorNumber(monitors_, frame), command.json),
                ""};
        case Verb::Set:
            goal_.placement = placementFor(frame, command, &why);
            if (!goal_.placement) return badUsage(why);
            break;
        case Verb::Preset:
            goal_.placement = presetPlacement(frame, presets_, command.preset);
            if (!goal_.placement)
                return badUsage("preset " + std::to_string(command.preset) + " is not set");
            break;
        case Verb::Origin: {
            const Rect monitor = monitorHoldingMost(monitors_, frame);
            goal_.placement =
                Placement{monitor.left, monitor.top, static_cast<std::int32_t>(frame.width()),
                          static_cast<std::int32_t>(frame.height())};
            break;
        }
        case Verb::Minimise:
        case Verb::Restore:
        case Verb::Maximise: {
            const ShowCommand show = command.verb == Verb::Minimise   ? ShowCommand::Minimise
                                     : command.verb == Verb::Maximise ? ShowCommand::Maximise
                                                                      : ShowCommand::Restore;
            goal_.state = stateAfter(show);
            acts_.show(window_, show);
            return std::nullopt;
        }
        default:
            return badUsage("only the running Sizewise shows or hides its windows");
    }
    acts_.place(window_, *goal_.placement);
    return std::nullopt;
}

void CommandRunner::check() {
    const WindowInfo info = windows_.describeWindow(window_);
    // A placement whose far edges 32 bits cannot hold never lands as asked.
    const bool landed =
        info.state == goal_.state && (!goal_.placement || frameOf(*goal_.placement) == info.rect);
    if (landed) {
        finish(Reply{kDone, "", ""});
    } else if (info.state == WindowState::Gone) {
        finish(Reply{kNotDone, "", "Sizewise: the window went away\n"});
    } else if (clock_() >= until_) {
        finish(Reply{
            kNotDone, "",
            "Sizewise: the window ended elsewhere: " +
                describeForCommand(window_, info, monitorNumber(monitors_, info.rect), false)});
    }
}

void CommandRunner::finish(Reply reply) {
    timer_->stop();
    if (auto done = std::move(done_)) {
        done_ = nullptr;
        done(std::move(reply));
    }
    deleteLater();
}

}  // namespace sw
