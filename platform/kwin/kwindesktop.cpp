// The KWin backend: the script's reports kept as the program reads them, commands queued to it.
#include "kwindesktop.h"

#include <QJsonArray>
#include <QJsonObject>

#include <map>
#include <unordered_map>

#include "kwinbridge.h"
#include "kwinreports.h"

namespace sw::kwin {
namespace {

// A window of XWayland is known by its X11 window id, which fits in 29 bits, as Sizewise's own
// windows live there and are named so by Qt; a Wayland window gets an id from here up.
constexpr WindowId kFirstOwnId = 0x80000000;

struct KnownWindow {
    std::string kwinId;
    WindowInfo info;          // as last reported; state Gone until the first report
    bool reported = false;    // the script watches it and reports its changes
    bool describing = false;  // a describe command is on its way
    bool gone = false;
};

QJsonObject command(const char* op) {
    return QJsonObject{{QStringLiteral("op"), QLatin1String(op)}};
}

}  // namespace

struct KWinDesktop::Impl {
    KWinBridge bridge;
    std::unordered_map<WindowId, KnownWindow> windows;
    std::map<std::string, WindowId> ids;
    WindowId nextId = kFirstOwnId;
    WindowId active = 0;
    bool activeReported = false;
    bool screensReported = false;
    ScreenMetrics screen{Rect{}, 96.0, 96.0, {Rect{}}};
    Point pointer;
    bool following = false;
    bool pointerAsked = false;
    ChangeHandler onChange;
    InputHandler onInput;
    MonitorsHandler onMonitors;
    std::function<void(const std::string&)> onLost;
    std::function<void()> onReady;

    // Once, when the first reports of the windows and the screens are both in.
    void tellIfReady() {
        if (!onReady || !activeReported || !screensReported) return;
        const auto told = std::move(onReady);
        onReady = nullptr;
        told();
    }

    WindowId idFor(const std::string& kwinId, WindowId x11Id = 0) {
        if (kwinId.empty()) return 0;
        const auto [at, added] = ids.try_emplace(kwinId, x11Id != 0 ? x11Id : nextId);
        if (added) {
            if (x11Id == 0) ++nextId;
            windows[at->second].kwinId = kwinId;
        }
        return at->second;
    }

    // How the script is to name a window: KWin's id once reported, else the X11 window id of a
    // window of XWayland; null for a window closed or never known.
    QJsonValue target(WindowId window) const {
        const auto at = windows.find(window);
        if (at != windows.end() && at->second.gone) return QJsonValue();
        if (at != windows.end() && !at->second.kwinId.empty())
            return QString::fromStdString(at->second.kwinId);
        if (window != 0 && window < kFirstOwnId) return static_cast<double>(window);
        return QJsonValue();
    }

    void sendTo(WindowId window, const char* op, QJsonObject extra = {}) {
        const QJsonValue id = target(window);
        if (id.isNull()) return;
        extra.insert(QStringLiteral("op"), QLatin1String(op));
        extra.insert(QStringLiteral("id"), id);
        bridge.send(extra);
    }

    void changed(const QJsonObject& report);
    bool takeWindows(const QJsonObject& report);
    void screens(const QJsonObject& report);
    void pointerMoved(const QJsonObject& position);
};

// Keeps what a Changed report says; true when anything the program reads differs.
bool KWinDesktop::Impl::takeWindows(const QJsonObject& report) {
    bool differs = false;
    for (const QJsonValue& value : report.value(QStringLiteral("windows")).toArray()) {
        const QJsonObject w = value.toObject();
        const auto x11Id = static_cast<WindowId>(w.value(QStringLiteral("x11Id")).toDouble());
        const std::string kwinId = w.value(QStringLiteral("id")).toString().toStdString();
        KnownWindow& known = windows[idFor(kwinId, x11Id)];
        const WindowInfo info = windowFromReport(w);
        differs = differs || !known.reported || info != known.info;
        known.info = info;
        known.reported = true;
        known.describing = false;
    }
    for (const QJsonValue& value : report.value(QStringLiteral("gone")).toArray()) {
        KnownWindow& known = windows[idFor(value.toString().toStdString())];
        differs = differs || !known.gone;
        known.gone = true;
        known.info = WindowInfo{};
    }
    return differs;
}

void KWinDesktop::Impl::changed(const QJsonObject& report) {
    bool differs = takeWindows(report);
    const WindowId nowActive =
        idFor(report.value(QStringLiteral("active")).toString().toStdString());
    differs = differs || nowActive != active;
    active = nowActive;
    activeReported = true;
    tellIfReady();
    // Reports arrive from the event loop only, so the handler is never called inside a call.
    if (differs && onChange) onChange();
}

void KWinDesktop::Impl::screens(const QJsonObject& report) {
    const ScreenMetrics now = screensFromReport(report);
    const bool differs = !screensReported || now != screen;
    screen = now;
    screensReported = true;
    tellIfReady();
    if (differs && onMonitors) onMonitors();
}

void KWinDesktop::Impl::pointerMoved(const QJsonObject& position) {
    const Point now = pointFromReport(position);
    pointerAsked = false;
    const bool moved = !(now == pointer);
    pointer = now;
    if (moved && onInput) onInput();
}

KWinDesktop::KWinDesktop(std::unique_ptr<Impl> impl) : d(std::move(impl)) {
    Impl* i = d.get();
    QObject::connect(&i->bridge, &KWinBridge::changed,
                     [i](const QJsonObject& r) { i->changed(r); });
    QObject::connect(&i->bridge, &KWinBridge::screensReported,
                     [i](const QJsonObject& r) { i->screens(r); });
    QObject::connect(&i->bridge, &KWinBridge::pointerMoved,
                     [i](const QJsonObject& p) { i->pointerMoved(p); });
    QObject::connect(&i->bridge, &KWinBridge::lost, [i](const QString& why) {
        if (i->onLost) i->onLost(why.toStdString());
    });
}

KWinDesktop::~KWinDesktop() = default;

std::unique_ptr<KWinDesktop> KWinDesktop::create() {
    return std::unique_ptr<KWinDesktop>(new KWinDesktop(std::make_unique<Impl>()));
}

bool KWinDesktop::start(std::string* error) {
    QString why;
    if (d->bridge.start(&why)) return true;
    *error = why.toStdString();
    return false;
}

std::unique_ptr<KWinDesktop> KWinDesktop::connect(std::string* error) {
    auto desktop = create();
    return desktop->start(error) ? std::move(desktop) : nullptr;
}

bool KWinDesktop::ready() const {
    return d->activeReported && d->screensReported;
}

void KWinDesktop::setReadyHandler(std::function<void()> onReady) {
    d->onReady = std::move(onReady);
}

void KWinDesktop::setConnectionLostHandler(std::function<void(const std::string&)> handler) {
    d->onLost = std::move(handler);
}

WindowId KWinDesktop::windowFor(const std::string& kwinId) {
    return d->idFor(kwinId);
}

std::string KWinDesktop::kwinIdOf(WindowId window) const {
    const auto at = d->windows.find(window);
    return at == d->windows.end() ? std::string() : at->second.kwinId;
}

WindowId KWinDesktop::foregroundWindow() {
    return d->active;
}

WindowInfo KWinDesktop::describeWindow(WindowId window) {
    if (d->target(window).isNull()) return WindowInfo{};
    KnownWindow& known = d->windows[window];
    // A window never reported is not watched by the script yet: it is asked to, and reads as
    // gone until it answers.
    if (!known.reported && !known.describing) {
        known.describing = true;
        d->sendTo(window, "describe");
    }
    return known.info;
}

Rect KWinDesktop::windowRect(WindowId window) {
    return describeWindow(window).rect;
}

void KWinDesktop::placeWindow(WindowId window, const Placement& outer) {
    // The script gives a window at least 1 x 1; KWin clamps a frame further to what it takes.
    d->sendTo(window, "place",
              {{QStringLiteral("x"), outer.left},
               {QStringLiteral("y"), outer.top},
               {QStringLiteral("w"), outer.width},
               {QStringLiteral("h"), outer.height}});
}

void KWinDesktop::showWindow(WindowId window, ShowCommand command) {
    switch (command) {
        case ShowCommand::Minimise:
            return d->sendTo(window, "minimize");
        case ShowCommand::Maximise:
            return d->sendTo(window, "maximize");
        case ShowCommand::Restore:
            return d->sendTo(window, "restore");
    }
}

void KWinDesktop::setTopmost(WindowId window, bool onTop) {
    d->sendTo(window, "above", {{QStringLiteral("above"), onTop}});
}

void KWinDesktop::markToolWindow(WindowId window) {
    d->sendTo(window, "tool");
}

void KWinDesktop::activateWindow(WindowId window) {
    d->sendTo(window, "activate");
}

void KWinDesktop::sendForegroundToBack() {
    d->bridge.send(command("lower"));
}

void KWinDesktop::setChangeHandler(ChangeHandler onChange) {
    d->onChange = std::move(onChange);
}

Point KWinDesktop::cursorPos() {
    // Not followed, the position read may be old: one report is asked for, which the next read
    // sees.
    if (!d->following && !d->pointerAsked) {
        d->pointerAsked = true;
        d->bridge.send(QJsonObject{{QStringLiteral("op"), QStringLiteral("pointer")},
                                   {QStringLiteral("follow"), false}});
    }
    return d->pointer;
}

PointerSnapshot KWinDesktop::readPointer() {
    // Buttons and SHIFT are not seen by KWin's scripts: they read as up.
    return PointerSnapshot{cursorPos(), KeyStates{}};
}

void KWinDesktop::setInputHandler(InputHandler onInput) {
    const bool follow = static_cast<bool>(onInput);
    d->onInput = std::move(onInput);
    if (follow == d->following) return;
    d->following = follow;
    d->bridge.send(QJsonObject{{QStringLiteral("op"), QStringLiteral("pointer")},
                               {QStringLiteral("follow"), follow}});
}

void KWinDesktop::setClickCapture(ClickCapture) {
    // Only the compositor routes clicks under Wayland, and it gives Sizewise none of other
    // windows': the program's own window over the desktop takes them (qt::OverlayPointer).
}

ScreenMetrics KWinDesktop::metrics() {
    return d->screen;
}

void KWinDesktop::setMonitorsHandler(MonitorsHandler onChange) {
    d->onMonitors = std::move(onChange);
}

std::vector<std::string> KWinDesktop::takeShortcuts(const std::vector<Shortcut>& shortcuts,
                                                    PressHandler) {
    return refuseEvery(shortcuts,
                       "global shortcuts are not available to Sizewise under Wayland yet");
}

}  // namespace sw::kwin
