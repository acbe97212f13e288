// The monitor of the target window.
#include "monitor.h"

#include <QGuiApplication>
#include <QTimer>
#include <QWindow>

#include "target.h"
#include "text.h"

namespace sw {
namespace {

constexpr std::size_t kTitleCharacters = 254;

WindowState StateAfter(ShowCommand command) {
    switch (command) {
        case ShowCommand::Minimise:
            return WindowState::Minimised;
        case ShowCommand::Maximise:
            return WindowState::Maximised;
        case ShowCommand::Restore:
            break;
    }
    return WindowState::Normal;
}

}  // namespace

TargetMonitor::TargetMonitor(WindowSystem& windows, Target& target, QObject* parent)
    : QObject(parent), windows_(windows), target_(target) {
    tmrCheckActiveWindow = new QTimer(this);
    tmrCheckActiveWindow->setSingleShot(true);
    connect(tmrCheckActiveWindow, &QTimer::timeout, this, &TargetMonitor::Poll);
    landingCheck_ = new QTimer(this);
    landingCheck_->setSingleShot(true);
    landingCheck_->setInterval(kLandingCheck);
    connect(landingCheck_, &QTimer::timeout, this, &TargetMonitor::ReadSoon);
    connect(&target, &Target::placed, this, &TargetMonitor::ExpectPlacement);
    connect(&target, &Target::shown, this, &TargetMonitor::ExpectShow);
}

void TargetMonitor::start() {
    running_ = true;
    windows_.setChangeHandler([this] { DesktopChanged(); });
    ReadSoon();
}

void TargetMonitor::stop() {
    running_ = false;
    windows_.setChangeHandler(nullptr);
    tmrCheckActiveWindow->stop();
    landingCheck_->stop();
}

void TargetMonitor::DesktopChanged() {
    if (!running_ || tmrCheckActiveWindow->isActive()) return;
    if (std::chrono::steady_clock::now() - lastRead_ >= kReadSpacing) {
        Poll();
    } else {
        ReadSoon();
    }
}

void TargetMonitor::ReadSoon() {
    if (!running_ || tmrCheckActiveWindow->isActive()) return;
    const auto since = std::chrono::steady_clock::now() - lastRead_;
    tmrCheckActiveWindow->start(
        since >= kReadSpacing ? std::chrono::milliseconds(0)
                              : std::chrono::ceil<std::chrono::milliseconds>(kReadSpacing - since));
}

bool TargetMonitor::IsOwnWindow(WindowId window) {
    if (window == 0) return false;
    // Every top-level window of the program that exists on the display: the main
    // window, its dialogs, the rulers and menus. Only windows that were created
    // are listed (a widget never shown has none); a handle is never created here.
    for (const QWindow* w : QGuiApplication::topLevelWindows()) {
        if (w->handle() != nullptr && static_cast<WindowId>(w->winId()) == window) return true;
    }
    return false;
}

void TargetMonitor::Poll() {
    tmrCheckActiveWindow->stop();
    lastRead_ = std::chrono::steady_clock::now();
    TargetReading reading;
    reading.foreground = windows_.foregroundWindow();
    reading.foregroundIsOwn = IsOwnWindow(reading.foreground);
    // The active window passes through none, or one of the program's own, on a
    // focus change: neither is a change of target.
    if (reading.foreground != 0 && !reading.foregroundIsOwn) target_.setWindow(reading.foreground);
    // A window id is used again once its window has gone: the window the desktop
    // named when the program started (the last run's main window) may be one of
    // its own by now.
    const bool targetIsOwn = target_.window() == reading.foreground ? reading.foregroundIsOwn
                                                                    : IsOwnWindow(target_.window());
    if (targetIsOwn) target_.setWindow(0);
    reading.target = windows_.describeWindow(target_.window());
    // An untitled foreground window (the desktop, a panel) never replaces a
    // target that has been seen before.
    if (reading.target.title.empty() && sLastTarget != 0) {
        target_.setWindow(sLastTarget);
        reading.target = windows_.describeWindow(target_.window());
    }
    sLastTarget = target_.window();
    reading.target.title = cutToCharacters(reading.target.title, kTitleCharacters);
    reading.shown = ShownRect(reading.target);
    reading.landing = ChangeStillLanding(reading.target);
    if (reading.landing) landingCheck_->start();
    target_.setState(reading.target.state);
    emit targetRead(reading);
}

void TargetMonitor::ExpectPlacement(const Placement& p) {
    const std::int64_t right = std::int64_t{p.left} + p.width;
    const std::int64_t bottom = std::int64_t{p.top} + p.height;
    std::optional<Rect> rect;
    // A size the window system cannot take is shown as it comes.
    if (right <= INT32_MAX && bottom <= INT32_MAX) {
        rect = Rect{p.left, p.top, static_cast<std::int32_t>(right),
                    static_cast<std::int32_t>(bottom)};
    }
    mExpected = ExpectedChange{target_.window(), rect, WindowState::Normal, std::nullopt,
                               std::chrono::steady_clock::now() + kPlacementLanding};
    // Read again also when the window refuses the change or it changes nothing.
    ReadSoon();
}

void TargetMonitor::ExpectShow(ShowCommand command) {
    const WindowState wanted = StateAfter(command);
    // The state buttons select the button of the state the target already has.
    if (target_.state() == wanted) {
        mExpected.reset();
    } else {
        mExpected = ExpectedChange{target_.window(), std::nullopt, wanted, std::nullopt,
                                   std::chrono::steady_clock::now() + kShowLanding};
    }
    ReadSoon();
}

bool TargetMonitor::ChangeStillLanding(const WindowInfo& info) {
    if (!mExpected) return false;
    ExpectedChange& e = *mExpected;
    // A show command has landed once the state is there and the frame has
    // stopped moving (window managers animate minimising and restoring).
    const bool landed =
        e.rect ? info.rect == *e.rect : info.state == e.state && e.lastSeen == info.rect;
    e.lastSeen = info.rect;
    const bool gone = info.state == WindowState::Gone;
    if (landed || gone || e.window != target_.window() ||
        std::chrono::steady_clock::now() >= e.until) {
        mExpected.reset();
        return false;
    }
    return true;
}

}  // namespace sw
