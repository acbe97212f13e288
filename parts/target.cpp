// The target window and the commands sent to it.
#include "target.h"

#include <QTimer>

#include "numbers.h"

namespace sw {

Target::Target(WindowSystem& windows, Clock clock, QObject* parent)
    : QObject(parent), windows_(windows), clock_(clock) {
    watcher_ = new TargetWatcher(windows, std::move(clock), this);
    connect(watcher_, &TargetWatcher::read, this, &Target::take);
    landingCheck_ = new QTimer(this);
    landingCheck_->setSingleShot(true);
    landingCheck_->setInterval(kLandingCheck);
    connect(landingCheck_, &QTimer::timeout, watcher_, &TargetWatcher::readSoon);
}

void Target::start() {
    watcher_->start();
}

void Target::stop() {
    watcher_->stop();
    landingCheck_->stop();
}

void Target::keepForeground(WindowId own) {
    if (own != 0) windows_.activateWindow(own);
}

void Target::readSoon() {
    watcher_->readSoon();
}

void Target::place(const Placement& placement) {
    windows_.placeWindow(reading_.window, placement);
    const std::optional<Rect> frame = frameOf(placement);
    expected_ = Expected{reading_.window, frame, WindowState::Normal, std::nullopt,
                         clock_() + kPlacementLanding};
    // A size the window system cannot take is shown as it comes.
    if (frame) {
        reading_.frame = *frame;
        reading_.landing = true;
        emit changed(reading_);
    }
    // Read again also when the window refuses the change or it changes nothing.
    watcher_->readSoon();
}

void Target::moveTo(Point topLeft) {
    place(Placement{topLeft.x, topLeft.y, pinToInt32(static_cast<double>(frame().width())),
                    pinToInt32(static_cast<double>(frame().height()))});
}

void Target::resizeTo(std::int32_t width, std::int32_t height) {
    place(Placement{frame().left, frame().top, width, height});
}

void Target::show(ShowCommand command) {
    windows_.showWindow(reading_.window, command);
    const WindowState wanted = stateAfter(command);
    // The state buttons select the button of the state the target already has.
    if (reading_.info.state == wanted) {
        expected_.reset();
    } else {
        expected_ =
            Expected{reading_.window, std::nullopt, wanted, std::nullopt, clock_() + kShowLanding};
    }
    watcher_->readSoon();
}

void Target::take(TargetReading reading) {
    reading.landing = stillLanding(reading);
    if (reading.landing) {
        reading.frame = reading_.frame;
        landingCheck_->start();
    }
    reading_ = std::move(reading);
    emit changed(reading_);
}

bool Target::stillLanding(const TargetReading& reading) {
    const WindowInfo& info = reading.info;
    if (!expected_) return false;
    Expected& e = *expected_;
    // A show command has landed once the state is there and the frame has stopped moving
    // (window managers animate minimising and restoring).
    const bool landed =
        e.frame ? info.rect == *e.frame : info.state == e.state && e.lastSeen == info.rect;
    e.lastSeen = info.rect;
    const bool gone = info.state == WindowState::Gone;
    if (landed || gone || e.window != reading.window || clock_() >= e.until) {
        expected_.reset();
        return false;
    }
    return true;
}

}  // namespace sw
