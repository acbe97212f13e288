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

std::string folder() {
    return SIZEWISE_KWIN_TEST_DIR;
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
    for (auto& [window, program] : programs_) {
        program->kill();
        program->waitForFinished();
    }
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

std::unique_ptr<QProcess> KWinWorld::start(const std::string& title, const char* platform,
                                           const QStringList& options) {
    auto program = std::make_unique<QProcess>();
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QLatin1String(platform));
    program->setProcessEnvironment(env);
    program->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    program->start(QStringLiteral("/usr/bin/python3"),
                   QStringList{QString::fromStdString(folder() + "/foreign_window.py"),
                               QString::fromStdString(title)} +
                       options);
    if (!program->waitForStarted())
        throw std::runtime_error("a test window's program did not start");
    return program;
}

WindowId KWinWorld::open(const std::string& title) {
    auto program = start(title, "wayland");
    QString kwinId;
    const QString caption = QString::fromStdString(title);
    if (!eventually(
            [&] { return !(kwinId = findWindowOf(program->processId(), caption)).isEmpty(); }))
        throw std::runtime_error("a test window was never shown");
    const WindowId window = desk->windowFor(kwinId.toStdString());
    programs_[window] = std::move(program);
    // The backend answers from the script's reports: the window is the world's once it has one.
    if (!eventually([&] { return desk->describeWindow(window).state != WindowState::Gone; }))
        throw std::runtime_error("the backend was never told of a test window");
    return window;
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

void KWinWorld::close(WindowId window) {
    const auto at = programs_.find(window);
    if (at == programs_.end()) return;
    at->second->kill();
    at->second->waitForFinished();
    programs_.erase(at);
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

void KWinWorld::rename(WindowId window, const std::string& title) {
    const auto at = programs_.find(window);
    if (at == programs_.end()) return;
    at->second->write(QByteArray::fromStdString(title + "\n"));
    at->second->waitForBytesWritten();
}

void KWinWorld::show(WindowId window) {
    rename(window, "show");
}

Rect KWinWorld::frameOf(WindowId window) {
    const auto w = compositorWindow(window);
    if (!w) return Rect{};
    const QJsonArray f = (*w)[QStringLiteral("frame")].toArray();
    const int x = f[0].toInt(), y = f[1].toInt();
    return Rect{x, y, x + f[2].toInt(), y + f[3].toInt()};
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
void KWinWorld::press(const Shortcut&) {
    ADD_FAILURE() << "no shortcut is pressed in the KWin world";
}
void KWinWorld::holdElsewhere(const Shortcut&) {
    ADD_FAILURE() << "no shortcut is held in the KWin world";
}
int KWinWorld::pressesOn(WindowId) {
    ADD_FAILURE() << "no press is counted in the KWin world";
    return 0;
}

// The runner's monitors: "left,top,right,bottom;..." as it started KWin with them.
ScreenMetrics KWinWorld::expectedScreen() {
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

bool KWinWorld::eventuallyWithin(std::chrono::milliseconds limit,
                                 const std::function<bool()>& done) {
    const auto deadline = std::chrono::steady_clock::now() + limit;
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

bool KWinWorld::eventually(const std::function<bool()>& done) {
    return eventuallyWithin(std::chrono::seconds(10), done);
}

void KWinWorld::settle() {
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(300);
    eventually([&] { return std::chrono::steady_clock::now() > until; });
}

std::unique_ptr<World> openWorld() {
    return std::make_unique<KWinWorld>();
}

}  // namespace sw::test
