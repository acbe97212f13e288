// The target's watcher.
#include "targetwatcher.h"

#include <QGuiApplication>
#include <QTimer>
#include <QWindow>

#include "text.h"

namespace sw {
namespace {

constexpr std::size_t kTitleCharacters = 254;

}  // namespace

Rect shownFrame(const WindowInfo& info) {
    if (info.state != WindowState::Minimised) return info.rect;
    const Rect& r = info.rect;
    return Rect{kMinimisedPosition, kMinimisedPosition,
                static_cast<std::int32_t>(kMinimisedPosition + r.width()),
                static_cast<std::int32_t>(kMinimisedPosition + r.height())};
}

TargetWatcher::TargetWatcher(WindowSystem& windows, Clock clock, QObject* parent)
    : QObject(parent), windows_(windows), clock_(std::move(clock)) {
    due_ = new QTimer(this);
    due_->setSingleShot(true);
    connect(due_, &QTimer::timeout, this, &TargetWatcher::readNow);
}

void TargetWatcher::start() {
    if (running_) return;
    running_ = true;
    pickFirst();
    windows_.setChangeHandler([this] { desktopChanged(); });
    readSoon();
}

void TargetWatcher::stop() {
    running_ = false;
    windows_.setChangeHandler(nullptr);
    due_->stop();
}

void TargetWatcher::pickFirst() {
    target_ = windows_.foregroundWindow();
    bool titled = !windows_.describeWindow(target_).title.empty();
    for (int attempt = 0; attempt < kStartAttempts && !titled; ++attempt) {
        windows_.sendForegroundToBack();
        target_ = windows_.foregroundWindow();
        titled = !windows_.describeWindow(target_).title.empty();
    }
}

bool TargetWatcher::mayReadNow() const {
    return !holdsNextBack_ || clock_() - lastRead_ >= kReadSpacing;
}

void TargetWatcher::desktopChanged() {
    if (!running_) return;
    // A reading already due is taken now when the spacing allows.
    if (mayReadNow()) {
        readNow();
    } else {
        readSoon();
    }
}

void TargetWatcher::readSoon() {
    if (!running_ || due_->isActive()) return;
    const auto wait =
        mayReadNow()
            ? std::chrono::milliseconds(0)
            : std::chrono::ceil<std::chrono::milliseconds>(kReadSpacing - (clock_() - lastRead_));
    due_->start(wait);
}

bool TargetWatcher::isOwnWindow(WindowId window) {
    if (window == 0) return false;
    // Every top-level window of the program that exists on the display: the main window, its
    // dialogs, the rulers and menus. Only windows that were created are listed (a widget never
    // shown has none); a handle is never created here.
    for (const QWindow* w : QGuiApplication::topLevelWindows()) {
        if (w->handle() != nullptr && static_cast<WindowId>(w->winId()) == window) return true;
    }
    return false;
}

void TargetWatcher::readNow() {
    due_->stop();
    lastRead_ = clock_();
    TargetReading r;
    r.foreground = windows_.foregroundWindow();
    r.foregroundIsOwn = isOwnWindow(r.foreground);
    const WindowId previous = target_;
    // The active window passes through none, or one of the program's own, on a focus change:
    // neither is a change of target.
    if (r.foreground != 0 && !r.foregroundIsOwn) target_ = r.foreground;
    // A window id is used again once its window has gone: the window the desktop named when the
    // program started (the last run's main window) may be one of its own by now.
    const bool own = target_ == r.foreground ? r.foregroundIsOwn : isOwnWindow(target_);
    if (own) target_ = 0;
    r.info = windows_.describeWindow(target_);
    // An untitled foreground window (the desktop, a panel) never replaces a target that has been
    // seen before.
    if (r.info.title.empty() && previous != 0 && target_ != previous) {
        target_ = previous;
        r.info = windows_.describeWindow(target_);
    }
    r.info.title = cutToCharacters(r.info.title, kTitleCharacters);
    r.window = target_;
    r.frame = shownFrame(r.info);
    const bool news = target_ != previous || r.info != info_;
    info_ = r.info;
    holdsNextBack_ = news;
    emit read(r);
}

}  // namespace sw
