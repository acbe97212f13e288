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

std::optional<QJsonObject> GnomeWorld::compositorWindow(WindowId window) {
    const QString id = QString::number(desk->mutterIdOf(window));
    for (const QJsonValue& w : allWindows(*this)) {
        if (w[QStringLiteral("id")].toString() == id) return w.toObject();
    }
    return std::nullopt;
}

WindowId GnomeWorld::shownWindow(qint64 pid, const QString& title) {
    for (const QJsonValue& w : allWindows(*this)) {
        if (w[QStringLiteral("pid")].toInteger() == pid &&
            w[QStringLiteral("title")].toString() == title && !w[QStringLiteral("hidden")].toBool())
            return desk->windowFor(w[QStringLiteral("id")].toString().toULongLong());
    }
    return 0;
}

// A Wayland client cannot move its own window: the Shell moves it, as the end of a user's drag.
void GnomeWorld::moveAsItsProgram(WindowId window, Point to) {
    eval(QStringLiteral("global.get_window_actors().map(a => a.meta_window)"
                        ".find(w => w.get_id() == %1).move_frame(true, %2, %3); true")
             .arg(desk->mutterIdOf(window))
             .arg(to.x)
             .arg(to.y));
}

bool GnomeWorld::isAbove(WindowId window) {
    const auto w = compositorWindow(window);
    return w && (*w)[QStringLiteral("above")].toBool();
}

bool GnomeWorld::isToolWindow(WindowId window) {
    const auto w = compositorWindow(window);
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

std::unique_ptr<World> openWorld() {
    return std::make_unique<GnomeWorld>();
}

}  // namespace sw::test
