// Serves io.github.sizewise.KWin1 for the KWin script and runs the script's life cycle.
#include "kwinbridge.h"

#include <QCoreApplication>
#include <QDBusConnectionInterface>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDir>
#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QTemporaryFile>

namespace sw::kwin {
namespace {

const QString kService = QStringLiteral("io.github.sizewise.Sizewise");
const QString kPath = QStringLiteral("/Sizewise");
const QString kKWin = QStringLiteral("org.kde.KWin");
const QString kScripting = QStringLiteral("org.kde.kwin.Scripting");
// The plugin name the script is loaded under; one Sizewise runs per session.
const QString kPlugin = QStringLiteral("sizewise");
constexpr int kProtocol = 1;

// KWin drops a D-Bus call unanswered after 25 s and never calls back: a held poll is answered
// empty well before.
constexpr int kHoldMs = 15000;
// A live script asks again within milliseconds of an answer; this long without a poll means it is
// gone (unloaded, KWin restarted). Generous, for a desktop busy with other work.
constexpr int kQuietMs = 5000;
// KWin starts a script in a few milliseconds; this long without a Hello means it will not.
constexpr int kHelloMs = 10000;
// KWin 5.27 numbers a loaded script by how many are loaded, so after another script was unloaded
// the number may be a running script's, and run() reaches that one instead: when no Hello came
// this long after the run, KWin is asked to run every loaded script that is not running.
constexpr int kNudgeMs = 1000;

QJsonObject parse(const QString& text) {
    return QJsonDocument::fromJson(text.toUtf8()).object();
}

QString compact(const QJsonObject& object) {
    return QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact));
}

// Calls a method of KWin's without waiting; then() runs with the reply from the event loop.
template <typename... Reply, typename Then>
void callKWin(QDBusConnection& bus, QObject* context, const QString& path, const QString& interface,
              const QString& method, const QVariantList& args, Then then) {
    QDBusMessage call = QDBusMessage::createMethodCall(kKWin, path, interface, method);
    call.setArguments(args);
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), context);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, context,
                     [then](QDBusPendingCallWatcher* done) {
                         then(QDBusPendingReply<Reply...>(*done));
                         done->deleteLater();
                     });
}

}  // namespace

KWinBridge::KWinBridge(QObject* parent) : QObject(parent), bus_(QDBusConnection::sessionBus()) {
    for (QTimer* timer : {&helloTimer_, &nudgeTimer_, &holdTimer_, &quietTimer_})
        timer->setSingleShot(true);
    helloTimer_.setInterval(kHelloMs);
    nudgeTimer_.setInterval(kNudgeMs);
    connect(&nudgeTimer_, &QTimer::timeout, this, &KWinBridge::runAll);
    holdTimer_.setInterval(kHoldMs);
    quietTimer_.setInterval(kQuietMs);
    connect(&helloTimer_, &QTimer::timeout, this,
            [this] { fail(tr("KWin did not start Sizewise's script")); });
    connect(&holdTimer_, &QTimer::timeout, this, [this] { reply(QString()); });
    connect(&quietTimer_, &QTimer::timeout, this,
            [this] { fail(tr("Sizewise's script in KWin stopped answering")); });
}

KWinBridge::~KWinBridge() {
    if (!bus_.isConnected()) return;
    // Blocking, once, at the end: the script must not outlive the program it reports to.
    QDBusMessage unload = QDBusMessage::createMethodCall(
        kKWin, QStringLiteral("/Scripting"), kScripting, QStringLiteral("unloadScript"));
    unload << kPlugin;
    if (greeted_ || helloTimer_.isActive()) bus_.call(unload, QDBus::Block, 2000);
    // Only what this one took: a refused second one may share the first one's connection.
    if (!registered_) return;
    bus_.unregisterObject(kPath);
    bus_.unregisterService(kService);
}

bool KWinBridge::start(QString* error) {
    if (!bus_.isConnected()) {
        *error = tr("the session bus cannot be reached: %1").arg(bus_.lastError().message());
        return false;
    }
    // Asked first as well: a name this connection owns already would be granted to it again.
    const QDBusReply<bool> taken = bus_.interface()->isServiceRegistered(kService);
    if ((taken.isValid() && taken.value()) || !bus_.registerService(kService)) {
        *error = tr("another Sizewise serves this session (%1 is taken)").arg(kService);
        return false;
    }
    if (!bus_.registerObject(kPath, this, QDBusConnection::ExportScriptableSlots)) {
        *error = tr("%1 cannot be served on the session bus").arg(kPath);
        bus_.unregisterService(kService);
        return false;
    }
    registered_ = true;
    kwinOwner_ = bus_.interface()->serviceOwner(kKWin).value();
    // KWin reads the script from a file of its user's: a private copy of the embedded one.
    script_ =
        std::make_unique<QTemporaryFile>(QDir::tempPath() + QStringLiteral("/sizewise-XXXXXX.js"));
    QFile embedded(QStringLiteral(":/sizewise/kwin/sizewise.js"));
    if (!embedded.open(QIODevice::ReadOnly) || !script_->open() ||
        script_->write(embedded.readAll()) < 0 || !script_->flush()) {
        *error = tr("KWin's script cannot be written to %1").arg(script_->fileName());
        return false;
    }
    helloTimer_.start();
    unloadThenLoad();
    return true;
}

// A script of an earlier Sizewise that ended without unloading it would make loadScript refuse.
void KWinBridge::unloadThenLoad() {
    callKWin<bool>(bus_, this, QStringLiteral("/Scripting"), kScripting,
                   QStringLiteral("unloadScript"), {kPlugin},
                   [this](const QDBusPendingReply<bool>&) { load(); });
}

void KWinBridge::load() {
    const QVariantList args{script_->fileName(), kPlugin};
    callKWin<int>(
        bus_, this, QStringLiteral("/Scripting"), kScripting, QStringLiteral("loadScript"), args,
        [this](const QDBusPendingReply<int>& id) {
            if (id.isError() || id.value() < 0) {
                fail(tr("KWin would not load Sizewise's script: %1")
                         .arg(id.isError() ? id.error().message() : QString::number(id.value())));
                return;
            }
            run(id.value(), false);
        });
}

// Plasma 5.27 puts a loaded script at /N, later KWin at /Scripting/ScriptN: the first is tried
// first, as Debian 12 has it.
void KWinBridge::run(int scriptId, bool plasma6Path) {
    const QString path = plasma6Path ? QStringLiteral("/Scripting/Script%1").arg(scriptId)
                                     : QStringLiteral("/%1").arg(scriptId);
    callKWin<>(
        bus_, this, path, QStringLiteral("org.kde.kwin.Script"), QStringLiteral("run"), {},
        [this, scriptId, plasma6Path](const QDBusPendingReply<>& done) {
            if (!done.isError()) {
                if (!greeted_) nudgeTimer_.start();
                return;
            }
            if (!plasma6Path) {
                run(scriptId, true);
            } else {
                fail(tr("KWin would not run Sizewise's script: %1").arg(done.error().message()));
            }
        });
}

void KWinBridge::runAll() {
    if (greeted_ || lost_) return;
    callKWin<>(bus_, this, QStringLiteral("/Scripting"), kScripting, QStringLiteral("start"), {},
               [](const QDBusPendingReply<>&) {});
}

// The session bus lets in only the session's user, and of that user's programs only KWin runs the
// script: a call from anything else is refused, and changes nothing.
bool KWinBridge::fromKWin(const QDBusMessage& message) {
    if (!kwinOwner_.isEmpty() && message.service() == kwinOwner_) return true;
    message.setDelayedReply(true);
    bus_.send(message.createErrorReply(QDBusError::AccessDenied,
                                       tr("only KWin may call Sizewise's script interface")));
    return false;
}

QString KWinBridge::Hello(const QString& about, const QDBusMessage& message) {
    if (!fromKWin(message)) return QString();
    const int protocol = parse(about).value(QStringLiteral("protocol")).toInt();
    if (protocol != kProtocol) {
        fail(tr("KWin runs a Sizewise script of protocol %1, not %2").arg(protocol).arg(kProtocol));
    }
    greeted_ = true;
    helloTimer_.stop();
    nudgeTimer_.stop();
    // The script's first poll follows the answer at once.
    quietTimer_.start();
    const QJsonArray pids{QCoreApplication::applicationPid()};
    return compact(
        QJsonObject{{QStringLiteral("protocol"), kProtocol}, {QStringLiteral("pids"), pids}});
}

void KWinBridge::Changed(const QString& report, const QDBusMessage& message) {
    if (fromKWin(message)) emit changed(parse(report));
}

void KWinBridge::Pointer(const QString& position, const QDBusMessage& message) {
    if (fromKWin(message)) emit pointerMoved(parse(position));
}

void KWinBridge::Screens(const QString& screens, const QDBusMessage& message) {
    if (fromKWin(message)) emit screensReported(parse(screens));
}

QString KWinBridge::NextCommand(const QString& result, const QDBusMessage& message) {
    if (!fromKWin(message)) return QString();
    const QJsonObject done = parse(result);
    if (!done.value(QStringLiteral("ok")).toBool(true)) {
        qWarning("Sizewise's KWin script could not carry out command %lld: %s",
                 static_cast<long long>(done.value(QStringLiteral("seq")).toInteger()),
                 qPrintable(done.value(QStringLiteral("error")).toString()));
    }
    if (held_) reply(QString());  // a poll of a script that was loaded again
    quietTimer_.stop();
    message.setDelayedReply(true);
    held_ = message;
    holdTimer_.start();
    answerHeld();
    return QString();
}

void KWinBridge::send(QJsonObject command) {
    command.insert(QStringLiteral("seq"), nextSeq_++);
    queue_.push_back(std::move(command));
    answerHeld();
}

void KWinBridge::answerHeld() {
    if (!held_ || queue_.empty()) return;
    const QJsonObject command = queue_.front();
    queue_.pop_front();
    reply(compact(command));
}

// Answers the held poll; the script then asks again at once, or is gone.
void KWinBridge::reply(const QString& text) {
    if (!held_) return;
    bus_.send(held_->createReply(text));
    held_.reset();
    holdTimer_.stop();
    if (!lost_) quietTimer_.start();
}

void KWinBridge::fail(const QString& why) {
    if (lost_) return;
    lost_ = true;
    helloTimer_.stop();
    quietTimer_.stop();
    emit lost(why);
}

}  // namespace sw::kwin
