// The contract's world in a headless GNOME Shell: Qt 6 programs as the other programs, the Shell's
// own answer as the truth, read through Eval.
#include "gnomeworld.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QEventLoop>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcessEnvironment>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <stdexcept>

namespace sw::test {
namespace {

// Every window as the Shell sees it.
const char kWindowsJs[] = R"(
global.get_window_actors().map(a => a.meta_window).filter(w => w).map(w => {
    const f = w.get_frame_rect();
    return {id: String(w.get_id()), title: w.get_title(), pid: w.get_pid(), above: w.is_above(),
            skipTaskbar: w.skip_taskbar, hidden: w.is_hidden(),
            frame: [f.x, f.y, f.width, f.height]};
})
)";

std::string folder() {
    return SIZEWISE_GNOME_TEST_DIR;
}

QJsonArray allWindows(GnomeWorld& world) {
    return QJsonDocument::fromJson(world.eval(QLatin1String(kWindowsJs)).toUtf8()).array();
}

}  // namespace

GnomeWorld::GnomeWorld() {
    std::string error;
    desk = gnome::GnomeDesktop::connect(&error);
    if (!desk) throw std::runtime_error("the GNOME backend did not start: " + error);
    desk->setConnectionLostHandler([this](const std::string& why) { lostWhy = why; });
    if (!eventually([&] { return desk->ready() || !lostWhy.empty(); }) || !lostWhy.empty())
        throw std::runtime_error("the extension never answered: " + lostWhy);
}

GnomeWorld::~GnomeWorld() {
    for (auto& [window, program] : programs_) {
        program->kill();
        program->waitForFinished();
    }
}

std::string GnomeWorld::lacks(Need need) {
    switch (need) {
        case Need::ButtonAndShiftStates:
            return {};
        case Need::ClickCapture:
            return "under Wayland only the compositor routes clicks, and the extension does not "
                   "take them from the window under the pointer";
        case Need::GlobalShortcuts:
            return "the GNOME backend takes no global shortcuts";
        case Need::ToolWindows:
            return "Mutter lets nobody keep a Wayland window out of the task bar; Sizewise's own "
                   "windows are X11 windows there, which X11 marks";
    }
    return {};
}

QString GnomeWorld::eval(const QString& code) {
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.gnome.Shell"), QStringLiteral("/org/gnome/Shell"),
        QStringLiteral("org.gnome.Shell"), QStringLiteral("Eval"));
    call.setArguments({code});
    const QDBusMessage reply = QDBusConnection::sessionBus().call(call, QDBus::Block, 10000);
    const QVariantList args = reply.arguments();
    if (reply.type() == QDBusMessage::ErrorMessage || args.size() < 2 || !args.at(0).toBool())
        return QString();
    return args.at(1).toString();
}

std::optional<QJsonObject> GnomeWorld::shellWindow(WindowId window) {
    const QString id = QString::number(desk->mutterIdOf(window));
    for (const QJsonValue& w : allWindows(*this)) {
        if (w[QStringLiteral("id")].toString() == id) return w.toObject();
    }
    return std::nullopt;
}

std::uint64_t GnomeWorld::findWindowOf(qint64 pid, const QString& title) {
    for (const QJsonValue& w : allWindows(*this)) {
        if (w[QStringLiteral("pid")].toInteger() == pid &&
            w[QStringLiteral("title")].toString() == title && !w[QStringLiteral("hidden")].toBool())
            return w[QStringLiteral("id")].toString().toULongLong();
    }
    return 0;
}

WindowId GnomeWorld::open(const std::string& title) {
    auto program = std::make_unique<QProcess>();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("wayland"));
    program->setProcessEnvironment(env);
    program->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    program->start(QStringLiteral("/usr/bin/python3"),
                   QStringList{QString::fromStdString(folder() + "/../kwin/foreign_window.py"),
                               QString::fromStdString(title)});
    if (!program->waitForStarted())
        throw std::runtime_error("a test window's program did not start");
    std::uint64_t mutterId = 0;
    const QString caption = QString::fromStdString(title);
    if (!eventually([&] { return (mutterId = findWindowOf(program->processId(), caption)) != 0; }))
        throw std::runtime_error("a test window was never shown");
    const WindowId window = desk->windowFor(mutterId);
    programs_[window] = std::move(program);
    // The backend answers from what the extension said: the window is the world's once it has.
    if (!eventually([&] { return desk->describeWindow(window).state != WindowState::Gone; }))
        throw std::runtime_error("the backend was never told of a test window");
    return window;
}

void GnomeWorld::close(WindowId window) {
    const auto at = programs_.find(window);
    if (at == programs_.end()) return;
    at->second->kill();
    at->second->waitForFinished();
    programs_.erase(at);
}

// A Wayland client cannot move its own window: the Shell moves it, as the end of a user's drag.
void GnomeWorld::moveAsItsProgram(WindowId window, Point to) {
    eval(QStringLiteral("global.get_window_actors().map(a => a.meta_window)"
                        ".find(w => w.get_id() == %1).move_frame(true, %2, %3); true")
             .arg(desk->mutterIdOf(window))
             .arg(to.x)
             .arg(to.y));
}

void GnomeWorld::rename(WindowId window, const std::string& title) {
    const auto at = programs_.find(window);
    if (at == programs_.end()) return;
    at->second->write(QByteArray::fromStdString(title + "\n"));
    at->second->waitForBytesWritten();
}

Rect GnomeWorld::frameOf(WindowId window) {
    const auto w = shellWindow(window);
    if (!w) return Rect{};
    const QJsonArray f = (*w)[QStringLiteral("frame")].toArray();
    const int x = f[0].toInt(), y = f[1].toInt();
    return Rect{x, y, x + f[2].toInt(), y + f[3].toInt()};
}

bool GnomeWorld::isAbove(WindowId window) {
    const auto w = shellWindow(window);
    return w && (*w)[QStringLiteral("above")].toBool();
}

bool GnomeWorld::isToolWindow(WindowId window) {
    const auto w = shellWindow(window);
    return w && (*w)[QStringLiteral("skipTaskbar")].toBool();
}

void GnomeWorld::remote(const QString& method, const QVariantList& args) {
    const QString service = QStringLiteral("org.gnome.Mutter.RemoteDesktop");
    const QString sessionInterface = QStringLiteral("org.gnome.Mutter.RemoteDesktop.Session");
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (remoteSession_.isEmpty()) {
        const QDBusMessage made = bus.call(QDBusMessage::createMethodCall(
            service, QStringLiteral("/org/gnome/Mutter/RemoteDesktop"), service,
            QStringLiteral("CreateSession")));
        remoteSession_ = made.arguments().value(0).value<QDBusObjectPath>().path();
        if (remoteSession_.isEmpty()) throw std::runtime_error("no remote-desktop session");
        bus.call(QDBusMessage::createMethodCall(service, remoteSession_, sessionInterface,
                                                QStringLiteral("Start")));
        bus.connect(QStringLiteral("io.github.sizewise.Shell"),
                    QStringLiteral("/io/github/sizewise/Shell"),
                    QStringLiteral("io.github.sizewise.Shell1"), QStringLiteral("PointerChanged"),
                    &pointerSignals_, SLOT(changed(int, int, uint)));
    }
    QDBusMessage call =
        QDBusMessage::createMethodCall(service, remoteSession_, sessionInterface, method);
    call.setArguments(args);
    const QDBusMessage reply = bus.call(call);
    if (reply.type() == QDBusMessage::ErrorMessage)
        ADD_FAILURE() << method.toStdString() << ": " << reply.errorMessage().toStdString();
}

// Relative motion from the bottom right corner, which holds the pointer: absolute motion would
// need a screen-cast stream of the session.
void GnomeWorld::pointerTo(Point at) {
    const Rect screen = expectedScreen().bounds;
    const double width = screen.right - screen.left, height = screen.bottom - screen.top;
    remote(QStringLiteral("NotifyPointerMotionRelative"), {2 * width, 2 * height});
    remote(QStringLiteral("NotifyPointerMotionRelative"),
           {at.x - (screen.right - 1.0), at.y - (screen.bottom - 1.0)});
}

void GnomeWorld::holdUntilSeen(const QString& method, const QVariant& code, uint maskBit) {
    remote(method, {code, true});
    EXPECT_TRUE(eventually([&] { return (pointerSignals_.mask & maskBit) != 0; }))
        << "the extension never reported the press; its mask: " << pointerSignals_.mask;
    remote(method, {code, false});
    EXPECT_TRUE(eventually([&] { return (pointerSignals_.mask & maskBit) == 0; }))
        << "the extension never reported the release; its mask: " << pointerSignals_.mask;
}

void GnomeWorld::click(Point at, int button, bool withShift) {
    constexpr int kButtonLeft = 0x110, kButtonRight = 0x111;  // evdev's codes
    constexpr uint kShiftSym = 0xffe1;
    const QString key = QStringLiteral("NotifyKeyboardKeysym");
    pointerTo(at);
    if (withShift) remote(key, {kShiftSym, true});
    holdUntilSeen(QStringLiteral("NotifyPointerButton"), button == 3 ? kButtonRight : kButtonLeft,
                  button == 3 ? 512u : 256u);  // the right button reads as BUTTON2
    if (withShift) remote(key, {kShiftSym, false});
}

void GnomeWorld::tapShift() {
    holdUntilSeen(QStringLiteral("NotifyKeyboardKeysym"), 0xffe1u, 1u);
}

void GnomeWorld::press(const Shortcut&) {
    ADD_FAILURE() << "no shortcut is pressed in the GNOME world";
}

void GnomeWorld::holdElsewhere(const Shortcut&) {
    ADD_FAILURE() << "no shortcut is held in the GNOME world";
}

int GnomeWorld::pressesOn(WindowId) {
    ADD_FAILURE() << "no press is counted in the GNOME world";
    return 0;
}

// The runner's monitors: "left,top,right,bottom;..." as it started the Shell with them.
ScreenMetrics GnomeWorld::expectedScreen() {
    ScreenMetrics m;
    const QString monitors = qEnvironmentVariable("SIZEWISE_TEST_MONITORS", "0,0,1280,800");
    for (const QString& monitor : monitors.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QStringList e = monitor.split(QLatin1Char(','));
        m.monitors.push_back(
            Rect{e.value(0).toInt(), e.value(1).toInt(), e.value(2).toInt(), e.value(3).toInt()});
    }
    m.bounds = m.monitors.front();
    for (const Rect& r : m.monitors) {
        m.bounds = Rect{std::min(m.bounds.left, r.left), std::min(m.bounds.top, r.top),
                        std::max(m.bounds.right, r.right), std::max(m.bounds.bottom, r.bottom)};
    }
    return m;
}

bool GnomeWorld::eventually(const std::function<bool()>& done) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!done()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        // Events are handled the moment they come; the condition is looked at again after each
        // short turn.
        QEventLoop turn;
        QTimer::singleShot(5, &turn, &QEventLoop::quit);
        turn.exec();
    }
    return true;
}

void GnomeWorld::settle() {
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(300);
    eventually([&] { return std::chrono::steady_clock::now() > until; });
}

std::unique_ptr<World> openWorld() {
    return std::make_unique<GnomeWorld>();
}

}  // namespace sw::test
