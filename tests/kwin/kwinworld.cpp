// The contract's world in a headless KWin: Qt 6 programs as the other programs, KWin's own answer
// as the truth, read by one-shot scripts.
#include "kwinworld.h"

#include <gtest/gtest.h>

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDir>
#include <QEventLoop>
#include <QJsonArray>
#include <QJsonDocument>
#include <QProcessEnvironment>
#include <QTemporaryFile>
#include <QTimer>

#include <algorithm>
#include <stdexcept>

namespace sw::test {
namespace {

const QString kAnswerService = QStringLiteral("io.github.sizewise.KWinWorld");
const QString kAnswerPath = QStringLiteral("/World");

// Every window as KWin sees it; the list is list-like under 5.27, an array under Plasma 6.
const char kWindowsScript[] = R"(
var windows = workspace.windowList ? workspace.windowList() : workspace.clientList();
var out = [];
for (var i = 0; i < windows.length; ++i) {
    var w = windows[i], f = w.frameGeometry;
    out.push({id: String(w.internalId), caption: String(w.caption), pid: w.pid,
              keepAbove: w.keepAbove, skipTaskbar: w.skipTaskbar, skipPager: w.skipPager,
              skipSwitcher: w.skipSwitcher, frame: [f.x, f.y, f.width, f.height]});
}
return out;
)";

QJsonArray allWindows(KWinWorld& world) {
    return QJsonDocument::fromJson(world.runScript(QLatin1String(kWindowsScript)).toUtf8()).array();
}

}  // namespace

KWinWorld::KWinWorld() {
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.registerService(kAnswerService) ||
        !bus.registerObject(kAnswerPath, &answers_, QDBusConnection::ExportScriptableSlots))
        throw std::runtime_error("the world's answers cannot be served on the session bus");
    std::string error;
    desk = kwin::KWinDesktop::connect(&error);
    if (!desk) throw std::runtime_error("the KWin backend did not start: " + error);
    desk->setConnectionLostHandler([this](const std::string& why) { lostWhy = why; });
    if (!eventually([&] { return desk->ready() || !lostWhy.empty(); }) || !lostWhy.empty())
        throw std::runtime_error("KWin's script never reported: " + lostWhy);
}

KWinWorld::~KWinWorld() {
    desk.reset();
    QDBusConnection bus = QDBusConnection::sessionBus();
    bus.unregisterObject(kAnswerPath);
    bus.unregisterService(kAnswerService);
}

std::string KWinWorld::lacks(Need need) {
    switch (need) {
        case Need::ButtonAndShiftStates:
            return "KWin's scripts are told of no button or key press, so under Wayland the "
                   "backend sees the pointer's position only";
        case Need::ClickCapture:
            return "under Wayland only the compositor routes clicks, and KWin's scripts cannot "
                   "take them";
        case Need::GlobalShortcuts:
            return "the KWin backend takes no global shortcuts";
        case Need::ToolWindows:
            break;
    }
    return {};
}

QVariant KWinWorld::callScripting(const QString& path, const QString& interface,
                                  const QString& method, const QVariantList& args) {
    QDBusMessage call =
        QDBusMessage::createMethodCall(QStringLiteral("org.kde.KWin"), path, interface, method);
    call.setArguments(args);
    const QDBusMessage reply = QDBusConnection::sessionBus().call(call, QDBus::Block, 10000);
    if (reply.type() == QDBusMessage::ErrorMessage) return QVariant();
    return reply.arguments().value(0, QVariant(true));
}

QString KWinWorld::runScript(const QString& body) {
    const QString nonce = QStringLiteral("answer-%1").arg(++scripts_);
    QTemporaryFile file(QDir::tempPath() + QStringLiteral("/sizewise-world-XXXXXX.js"));
    const QString source =
        QStringLiteral(
            "var answer = (function () {%1})();\n"
            "callDBus(\"%2\", \"%3\", \"%2\", \"Answer\", \"%4\", JSON.stringify(answer));\n")
            .arg(body, kAnswerService, kAnswerPath, nonce);
    if (!file.open() || file.write(source.toUtf8()) < 0 || !file.flush()) return QString();
    const QString plugin = QStringLiteral("sizewise-world-") + nonce;
    const QString scripting = QStringLiteral("org.kde.kwin.Scripting");
    const int id = callScripting(QStringLiteral("/Scripting"), scripting,
                                 QStringLiteral("loadScript"), {file.fileName(), plugin})
                       .toInt();
    const QString script = QStringLiteral("org.kde.kwin.Script");
    if (!callScripting(QStringLiteral("/%1").arg(id), script, QStringLiteral("run"), {}).isValid())
        callScripting(QStringLiteral("/Scripting/Script%1").arg(id), script, QStringLiteral("run"),
                      {});
    // KWin 5.27 may have given the number to a script that runs already (the backend's): this
    // runs whatever is loaded and not running.
    callScripting(QStringLiteral("/Scripting"), scripting, QStringLiteral("start"), {});
    eventually([&] { return answers_.answers.count(nonce) > 0; });
    callScripting(QStringLiteral("/Scripting"), scripting, QStringLiteral("unloadScript"),
                  {plugin});
    const QString answer = answers_.answers[nonce];
    answers_.answers.erase(nonce);
    return answer;
}

std::optional<QJsonObject> KWinWorld::compositorWindow(WindowId window) {
    const QString id = QString::fromStdString(desk->kwinIdOf(window));
    for (const QJsonValue& w : allWindows(*this)) {
        if (w[QStringLiteral("id")].toString() == id) return w.toObject();
    }
    return std::nullopt;
}

QString KWinWorld::findWindowOf(qint64 pid, const QString& caption) {
    for (const QJsonValue& w : allWindows(*this)) {
        if (w[QStringLiteral("pid")].toInteger() == pid &&
            w[QStringLiteral("caption")].toString() == caption)
            return w[QStringLiteral("id")].toString();
    }
    return QString();
}

WindowId KWinWorld::shownWindow(qint64 pid, const QString& caption) {
    const QString kwinId = findWindowOf(pid, caption);
    return kwinId.isEmpty() ? 0 : desk->windowFor(kwinId.toStdString());
}

WindowId KWinWorld::openOnXwayland(const std::string& title, const QStringList& options) {
    if (qEnvironmentVariableIsEmpty("DISPLAY")) return 0;
    auto program = start(title, "xcb", options);
    if (!eventually([&] { return program->canReadLine(); }))
        throw std::runtime_error("a test window of Xwayland never told its id");
    const auto window = static_cast<WindowId>(program->readLine().trimmed().toULongLong());
    programs_[window] = std::move(program);
    return window;
}

// A Wayland client cannot move its own window: the compositor moves it, as a user's drag would.
void KWinWorld::moveAsItsProgram(WindowId window, Point to) {
    runScript(QStringLiteral(R"(
var windows = workspace.windowList ? workspace.windowList() : workspace.clientList();
for (var i = 0; i < windows.length; ++i) {
    var w = windows[i], f = w.frameGeometry;
    if (String(w.internalId) === "%1") w.frameGeometry = {x: %2, y: %3, width: f.width, height: f.height};
}
return true;
)")
                  .arg(QString::fromStdString(desk->kwinIdOf(window)))
                  .arg(to.x)
                  .arg(to.y));
}

void KWinWorld::show(WindowId window) {
    rename(window, "show");
}

bool KWinWorld::isAbove(WindowId window) {
    const auto w = compositorWindow(window);
    return w && (*w)[QStringLiteral("keepAbove")].toBool();
}

bool KWinWorld::isToolWindow(WindowId window) {
    const auto w = compositorWindow(window);
    return w && (*w)[QStringLiteral("skipTaskbar")].toBool() &&
           (*w)[QStringLiteral("skipPager")].toBool() &&
           (*w)[QStringLiteral("skipSwitcher")].toBool();
}

// The cases that need the user's buttons and keys are skipped here (lacks()).
void KWinWorld::click(Point, int, bool) {
    ADD_FAILURE() << "no click is made in the KWin world";
}
void KWinWorld::tapShift() {
    ADD_FAILURE() << "no key is pressed in the KWin world";
}
std::unique_ptr<World> openWorld() {
    return std::make_unique<KWinWorld>();
}

}  // namespace sw::test
