// The GNOME backend: the extension's signals and answers kept as the program reads them, commands
// sent as asynchronous calls.
#include "gnomedesktop.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusServiceWatcher>
#include <QObject>

#include <map>
#include <unordered_map>

#include <unistd.h>

#include "gnomereports.h"

namespace sw::gnome {
namespace {

const QString kService = QStringLiteral("io.github.sizewise.Shell");
const QString kPath = QStringLiteral("/io/github/sizewise/Shell");
const QString kInterface = QStringLiteral("io.github.sizewise.Shell1");

// Mutter's ids are 64 bits wide and the seam's 32: each window gets one of ours from here up,
// apart from the X11 ids (29 bits) Qt names Sizewise's own windows by on Xwayland.
constexpr WindowId kFirstId = 0x80000000;

struct KnownWindow {
    std::uint64_t mutterId = 0;
    WindowInfo info;          // as last told; state Gone until then
    bool reported = false;    // the extension watches it and signals its changes
    bool describing = false;  // a GetWindow call is on its way
    bool gone = false;
    bool own = false;  // a window of one of Sizewise's processes
};

}  // namespace

// A QObject, as Qt's D-Bus signals can only be delivered to slots.
struct GnomeDesktop::Impl : QObject {
    Q_OBJECT

public:
    QDBusConnection bus = QDBusConnection::sessionBus();
    QDBusServiceWatcher nameWatcher;
    std::unordered_map<WindowId, KnownWindow> windows;
    std::map<std::uint64_t, WindowId> ids;
    WindowId nextId = kFirstId;
    WindowId active = 0;
    bool activeReported = false;
    bool screenReported = false;
    ScreenMetrics screen{Rect{}, 96.0, 96.0, {Rect{}}};
    Point pointer;
    KeyStates held;     // as the last mask said
    KeyStates pressed;  // pressed since the last readPointer
    bool following = false;
    bool pointerAsked = false;
    bool lost = false;
    ChangeHandler onChange;
    InputHandler onInput;
    MonitorsHandler onMonitors;
    std::function<void(const std::string&)> onLost;
    std::function<void()> onReady;

    WindowId idFor(std::uint64_t mutterId);
    void call(const QString& method, const QVariantList& args,
              std::function<void(const QDBusMessage&)> onReply = nullptr);
    void callOn(WindowId window, const QString& method, QVariantList extra = {});
    bool take(WindowId window, const QVariant& value);
    void tellIfReady();
    void pointerSaid(int x, int y, std::uint32_t mask);
    void monitorsSaid(const QVariant& monitors);
    void nameGone();

public slots:
    void activeWindowChanged(const QDBusMessage& signal);
    void windowChanged(const QDBusMessage& signal);
    void windowClosed(const QDBusMessage& signal);
    void monitorsChanged(const QDBusMessage& signal);
    void pointerChanged(const QDBusMessage& signal);
};

WindowId GnomeDesktop::Impl::idFor(std::uint64_t mutterId) {
    if (mutterId == 0) return 0;
    const auto [at, added] = ids.try_emplace(mutterId, nextId);
    if (added) {
        ++nextId;
        windows[at->second].mutterId = mutterId;
    }
    return at->second;
}

// Every call is asynchronous; its answer, or its error, comes back through the event loop.
void GnomeDesktop::Impl::call(const QString& method, const QVariantList& args,
                              std::function<void(const QDBusMessage&)> onReply) {
    if (lost) return;
    QDBusMessage message = QDBusMessage::createMethodCall(kService, kPath, kInterface, method);
    message.setArguments(args);
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(message), this);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, this,
                     [onReply = std::move(onReply)](QDBusPendingCallWatcher* w) {
                         w->deleteLater();
                         if (onReply) onReply(w->reply());
                     });
}

// A command for a window of the extension's; a window closed or never known is left alone.
void GnomeDesktop::Impl::callOn(WindowId window, const QString& method, QVariantList extra) {
    const auto at = windows.find(window);
    if (at == windows.end() || at->second.gone || at->second.mutterId == 0) return;
    extra.prepend(QVariant::fromValue<qulonglong>(at->second.mutterId));
    call(method, extra);
}

// Keeps what a WINDOW says of a window; true when anything the program reads differs.
bool GnomeDesktop::Impl::take(WindowId window, const QVariant& value) {
    KnownWindow& known = windows[window];
    const QVariantMap map = windowMap(value);
    const WindowInfo info = windowFromMap(map);
    known.own = map.value(QStringLiteral("own")).toBool();
    const bool differs = !known.reported || info != known.info;
    known.info = info;
    known.reported = true;
    known.describing = false;
    return differs;
}

// Once, when the first answers for the active window and the monitors are both in.
void GnomeDesktop::Impl::tellIfReady() {
    if (!onReady || !activeReported || !screenReported) return;
    const auto told = std::move(onReady);
    onReady = nullptr;
    told();
}

void GnomeDesktop::Impl::activeWindowChanged(const QDBusMessage& signal) {
    const QVariantList args = signal.arguments();
    if (args.size() < 2) return;
    const WindowId now = idFor(args.at(0).toULongLong());
    bool differs = now != active || !activeReported;
    if (now != 0) differs = take(now, args.at(1)) || differs;
    active = now;
    activeReported = true;
    tellIfReady();
    // Signals arrive from the event loop only, so the handler is never called inside a call.
    if (differs && onChange) onChange();
}

void GnomeDesktop::Impl::windowChanged(const QDBusMessage& signal) {
    const QVariantList args = signal.arguments();
    if (args.size() < 2) return;
    const WindowId window = idFor(args.at(0).toULongLong());
    if (window != 0 && take(window, args.at(1)) && onChange) onChange();
}

void GnomeDesktop::Impl::windowClosed(const QDBusMessage& signal) {
    const QVariantList args = signal.arguments();
    if (args.isEmpty()) return;
    const WindowId window = idFor(args.at(0).toULongLong());
    if (window == 0) return;
    KnownWindow& known = windows[window];
    const bool differs = !known.gone;
    known.gone = true;
    known.info = WindowInfo{};
    if (differs && onChange) onChange();
}

void GnomeDesktop::Impl::monitorsSaid(const QVariant& monitors) {
    const ScreenMetrics now = screenFromMonitors(monitors);
    const bool differs = !screenReported || now != screen;
    screen = now;
    screenReported = true;
    tellIfReady();
    if (differs && onMonitors) onMonitors();
}

void GnomeDesktop::Impl::monitorsChanged(const QDBusMessage& signal) {
    if (!signal.arguments().isEmpty()) monitorsSaid(signal.arguments().at(0));
}

void GnomeDesktop::Impl::pointerSaid(int x, int y, std::uint32_t mask) {
    const Point now{x, y};
    const KeyStates keys = keysFromMask(mask);
    // A press is kept until read, however short: the mask may be up again at the next signal.
    pressed.left = pressed.left || keys.left;
    pressed.right = pressed.right || keys.right;
    pressed.shift = pressed.shift || keys.shift;
    const bool differs = !(now == pointer) || !(keys == held);
    pointer = now;
    held = keys;
    if (differs && onInput) onInput();
}

void GnomeDesktop::Impl::pointerChanged(const QDBusMessage& signal) {
    const QVariantList args = signal.arguments();
    if (args.size() < 3) return;
    pointerSaid(args.at(0).toInt(), args.at(1).toInt(), args.at(2).toUInt());
}

void GnomeDesktop::Impl::nameGone() {
    if (lost) return;
    lost = true;
    if (onLost) onLost("GNOME Shell's Sizewise extension left the session bus");
}

GnomeDesktop::GnomeDesktop(std::unique_ptr<Impl> impl) : d(std::move(impl)) {}

GnomeDesktop::~GnomeDesktop() = default;

std::unique_ptr<GnomeDesktop> GnomeDesktop::create() {
    return std::unique_ptr<GnomeDesktop>(new GnomeDesktop(std::make_unique<Impl>()));
}

std::unique_ptr<GnomeDesktop> GnomeDesktop::connect(std::string* error) {
    auto desktop = create();
    return desktop->start(error) ? std::move(desktop) : nullptr;
}

bool GnomeDesktop::start(std::string* error) {
    Impl* i = d.get();
    if (!i->bus.isConnected()) {
        *error = "no session bus: " + i->bus.lastError().message().toStdString();
        return false;
    }
    // Listened to before the name is checked, so that nothing said in between is missed.
    const struct {
        const char* name;
        const char* slot;
    } watched[] = {
        {"ActiveWindowChanged", SLOT(activeWindowChanged(QDBusMessage))},
        {"WindowChanged", SLOT(windowChanged(QDBusMessage))},
        {"WindowClosed", SLOT(windowClosed(QDBusMessage))},
        {"MonitorsChanged", SLOT(monitorsChanged(QDBusMessage))},
        {"PointerChanged", SLOT(pointerChanged(QDBusMessage))},
    };
    for (const auto& s : watched)
        i->bus.connect(kService, kPath, kInterface, QLatin1String(s.name), i, s.slot);
    i->nameWatcher.setConnection(i->bus);
    i->nameWatcher.addWatchedService(kService);
    i->nameWatcher.setWatchMode(QDBusServiceWatcher::WatchForUnregistration);
    QObject::connect(&i->nameWatcher, &QDBusServiceWatcher::serviceUnregistered, i,
                     [i] { i->nameGone(); });
    if (!i->bus.interface()->isServiceRegistered(kService).value()) {
        *error = "GNOME Shell's Sizewise extension is not on the session bus";
        return false;
    }
    const QVariantList own{QVariant::fromValue(QList<uint>{static_cast<uint>(::getpid())})};
    i->call(QStringLiteral("SetOwnProcesses"), own);
    i->call(QStringLiteral("GetActiveWindow"), {}, [i](const QDBusMessage& reply) {
        // A signal that came first is newer than this answer.
        if (i->activeReported || reply.type() != QDBusMessage::ReplyMessage) return;
        const QVariantMap window = windowMap(reply.arguments().value(0));
        const WindowId now = i->idFor(window.value(QStringLiteral("id")).toULongLong());
        if (now != 0) i->take(now, QVariant(window));
        i->active = now;
        i->activeReported = true;
        i->tellIfReady();
        if (i->onChange) i->onChange();
    });
    i->call(QStringLiteral("GetMonitors"), {}, [i](const QDBusMessage& reply) {
        if (!i->screenReported && reply.type() == QDBusMessage::ReplyMessage)
            i->monitorsSaid(reply.arguments().value(0));
    });
    return true;
}

bool GnomeDesktop::ready() const {
    return d->activeReported && d->screenReported;
}

void GnomeDesktop::setReadyHandler(std::function<void()> onReady) {
    d->onReady = std::move(onReady);
}

void GnomeDesktop::setConnectionLostHandler(std::function<void(const std::string&)> handler) {
    d->onLost = std::move(handler);
}

WindowId GnomeDesktop::windowFor(std::uint64_t mutterId) {
    return d->idFor(mutterId);
}

std::uint64_t GnomeDesktop::mutterIdOf(WindowId window) const {
    const auto at = d->windows.find(window);
    return at == d->windows.end() ? 0 : at->second.mutterId;
}

bool GnomeDesktop::isOwnWindow(WindowId window) const {
    const auto at = d->windows.find(window);
    return at != d->windows.end() && at->second.own;
}

WindowId GnomeDesktop::foregroundWindow() {
    return d->active;
}

WindowInfo GnomeDesktop::describeWindow(WindowId window) {
    const auto at = d->windows.find(window);
    // An id the extension never named (an X11 id of Sizewise's own windows) is not Mutter's.
    if (at == d->windows.end() || at->second.gone || at->second.mutterId == 0) return WindowInfo{};
    KnownWindow& known = at->second;
    // A window never reported is not watched by the extension yet: it is asked for, which also
    // watches it, and reads as gone until it answers.
    if (!known.reported && !known.describing) {
        known.describing = true;
        Impl* i = d.get();
        const QVariantList args{QVariant::fromValue<qulonglong>(known.mutterId)};
        i->call(QStringLiteral("GetWindow"), args, [i, window](const QDBusMessage& reply) {
            KnownWindow& k = i->windows[window];
            k.describing = false;
            if (k.reported || k.gone) return;
            // An error is an unknown id: the window closed before it was asked for.
            const bool found = reply.type() == QDBusMessage::ReplyMessage;
            if (found) i->take(window, reply.arguments().value(0));
            k.gone = !found;
            if (i->onChange) i->onChange();
        });
    }
    return known.info;
}

Rect GnomeDesktop::windowRect(WindowId window) {
    return describeWindow(window).rect;
}

void GnomeDesktop::placeWindow(WindowId window, const Placement& outer) {
    // The extension restores the window first; Mutter clamps the frame to what the window takes.
    d->callOn(window, QStringLiteral("Place"),
              {outer.left, outer.top, std::max(outer.width, 1), std::max(outer.height, 1)});
}

void GnomeDesktop::showWindow(WindowId window, ShowCommand command) {
    switch (command) {
        case ShowCommand::Minimise:
            return d->callOn(window, QStringLiteral("Minimize"));
        case ShowCommand::Maximise:
            return d->callOn(window, QStringLiteral("Maximize"));
        case ShowCommand::Restore:
            // Normal whatever it was: a minimised window may be maximised underneath.
            d->callOn(window, QStringLiteral("Unminimize"));
            return d->callOn(window, QStringLiteral("Unmaximize"));
    }
}

void GnomeDesktop::setTopmost(WindowId window, bool onTop) {
    d->callOn(window, QStringLiteral("SetAbove"), {onTop});
}

void GnomeDesktop::markToolWindow(WindowId) {
    // Mutter lets nobody change whether a Wayland window shows in the task bar; Sizewise's own
    // windows are X11 windows on Xwayland, which X11 marks.
}

void GnomeDesktop::activateWindow(WindowId window) {
    d->callOn(window, QStringLiteral("Activate"));
}

void GnomeDesktop::sendForegroundToBack() {
    d->callOn(d->active, QStringLiteral("Lower"));
}

void GnomeDesktop::setChangeHandler(ChangeHandler onChange) {
    d->onChange = std::move(onChange);
}

Point GnomeDesktop::cursorPos() {
    // Not followed, the position read may be old: one answer is asked for, which the next read
    // sees.
    if (!d->following && !d->pointerAsked) {
        d->pointerAsked = true;
        Impl* i = d.get();
        i->call(QStringLiteral("GetPointer"), {}, [i](const QDBusMessage& reply) {
            i->pointerAsked = false;
            const QVariantList args = reply.arguments();
            if (reply.type() != QDBusMessage::ReplyMessage || args.size() < 3) return;
            i->pointerSaid(args.at(0).toInt(), args.at(1).toInt(), args.at(2).toUInt());
        });
    }
    return d->pointer;
}

PointerSnapshot GnomeDesktop::readPointer() {
    const Point position = cursorPos();
    // A key reads down while the mask says so, or when it went down since the previous read; only
    // what the extension saw (every 30 ms at most, while followed) is known.
    const KeyStates keys{d->held.left || d->pressed.left, d->held.right || d->pressed.right,
                         d->held.shift || d->pressed.shift};
    d->pressed = KeyStates{};
    return PointerSnapshot{position, keys};
}

void GnomeDesktop::setInputHandler(InputHandler onInput) {
    const bool follow = static_cast<bool>(onInput);
    d->onInput = std::move(onInput);
    if (follow == d->following) return;
    d->following = follow;
    d->call(QStringLiteral("WatchPointer"), {follow});
}

void GnomeDesktop::setClickCapture(ClickCapture) {
    // Only the compositor routes clicks under Wayland, and it gives Sizewise none of other
    // windows': the program's own window over the desktop takes them (qt::OverlayPointer).
}

ScreenMetrics GnomeDesktop::metrics() {
    return d->screen;
}

void GnomeDesktop::setMonitorsHandler(MonitorsHandler onChange) {
    d->onMonitors = std::move(onChange);
}

std::vector<std::string> GnomeDesktop::takeShortcuts(const std::vector<Shortcut>& shortcuts,
                                                     PressHandler) {
    return refuseEvery(shortcuts,
                       "global shortcuts are not available to Sizewise under Wayland yet");
}

}  // namespace sw::gnome

#include "gnomedesktop.moc"
