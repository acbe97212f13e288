// One running Sizewise per user and display.
#include "singleinstance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QLocalSocket>
#include <QPointer>
#include <QStandardPaths>
#include <QTimer>

namespace sw {
namespace {

constexpr int kConnectMs = 500;
// A first instance that has the lock but is not listening yet is still starting.
constexpr int kHandOverMs = 3000;
constexpr int kRetryMs = 50;
constexpr char kShowRequest[] = "show\n";
// A command line's words as a JSON array follow this on the request's line; the
// reply is one line of JSON: {"status", "out", "err"}.
constexpr char kCommandRequest[] = "command ";

QString runtimeDirectory() {
    QString dir = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (dir.isEmpty()) dir = QDir::tempPath();
    return dir;
}

// The display name may hold characters a file name cannot; a hash of it does not.
QString scopeTag(const std::string& scope) {
    const QByteArray hash =
        QCryptographicHash::hash(QByteArray::fromStdString(scope), QCryptographicHash::Sha1);
    return QString::fromLatin1(hash.toHex().left(16));
}

}  // namespace

SingleInstance::SingleInstance(const std::string& scope)
    : lockPath_(runtimeDirectory() + "/sizewise-" + scopeTag(scope) + ".lock"),
      socketPath_(runtimeDirectory() + "/sizewise-" + scopeTag(scope) + ".socket"),
      lock_(lockPath_) {
    // Only a lock whose process is gone is stale, however old it is.
    lock_.setStaleLockTime(0);
}

SingleInstance::~SingleInstance() {
    if (server_) server_->close();
}

SingleInstance::Claim SingleInstance::claim(std::function<void()> onShowRequest,
                                            CommandHandler onCommand) {
    if (!lock_.tryLock(0)) {
        // QLockFile has already taken over a lock left by a killed process; this
        // one belongs to a live instance.
        return askRunningInstance() ? Claim::HandedOver : Claim::Failed;
    }
    onShowRequest_ = std::move(onShowRequest);
    onCommand_ = std::move(onCommand);
    // A socket file left by a killed instance would make listen() fail.
    QLocalServer::removeServer(socketPath_);
    server_ = std::make_unique<QLocalServer>();
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    QObject::connect(server_.get(), &QLocalServer::newConnection, server_.get(), [this] {
        while (QLocalSocket* socket = server_->nextPendingConnection()) serve(socket);
    });
    server_->listen(socketPath_);
    return Claim::First;
}

void SingleInstance::serve(QLocalSocket* socket) {
    QObject::connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
    QObject::connect(socket, &QLocalSocket::readyRead, socket, [this, socket] {
        if (!socket->canReadLine()) return;
        const QByteArray line = socket->readLine().trimmed();
        if (!line.startsWith(kCommandRequest) || !onCommand_) {
            if (onShowRequest_) onShowRequest_();
            return;
        }
        std::vector<std::string> args;
        const QByteArray words = line.mid(static_cast<qsizetype>(sizeof kCommandRequest) - 1);
        for (const QJsonValue& word : QJsonDocument::fromJson(words).array())
            args.push_back(word.toString().toStdString());
        // The socket may be gone by the time a command has landed.
        onCommand_(args, [socket = QPointer<QLocalSocket>(socket)](const Reply& reply) {
            if (socket == nullptr) return;
            const QJsonObject o{{"status", reply.status},
                                {"out", QString::fromStdString(reply.out)},
                                {"err", QString::fromStdString(reply.err)}};
            socket->write(QJsonDocument(o).toJson(QJsonDocument::Compact) + "\n");
            socket->disconnectFromServer();
        });
    });
}

std::optional<Reply> SingleInstance::sendCommand(const std::vector<std::string>& args) {
    if (lock_.tryLock(0)) {
        lock_.unlock();
        return std::nullopt;
    }
    const Reply silent{kNotDone, "", "Sizewise: the running Sizewise did not answer\n"};
    QElapsedTimer waited;
    waited.start();
    QLocalSocket socket;
    if (!connectWithin(socket, kCommandMs)) return silent;
    QJsonArray words;
    for (const std::string& a : args) words.append(QString::fromStdString(a));
    socket.write(kCommandRequest + QJsonDocument(words).toJson(QJsonDocument::Compact) + "\n");
    while (!socket.canReadLine()) {
        const auto left = static_cast<int>(kCommandMs - waited.elapsed());
        if (left <= 0 || !socket.waitForReadyRead(left)) return silent;
    }
    const QJsonObject o = QJsonDocument::fromJson(socket.readLine()).object();
    return Reply{o.value("status").toInt(kNotDone), o.value("out").toString().toStdString(),
                 o.value("err").toString().toStdString()};
}

bool SingleInstance::connectWithin(QLocalSocket& socket, int milliseconds) {
    QElapsedTimer waited;
    waited.start();
    while (socket.connectToServer(socketPath_), !socket.waitForConnected(kConnectMs)) {
        // Not listening yet: it is still loading. Connecting to a missing socket
        // fails at once, so the retries are paced.
        if (waited.elapsed() >= milliseconds) return false;
        socket.abort();
        QEventLoop pause;
        QTimer::singleShot(kRetryMs, &pause, &QEventLoop::quit);
        pause.exec();
    }
    return true;
}

bool SingleInstance::askRunningInstance() {
    QLocalSocket socket;
    if (!connectWithin(socket, kHandOverMs)) return false;
    socket.write(kShowRequest);
    socket.waitForBytesWritten(kConnectMs);
    socket.disconnectFromServer();
    return true;
}

}  // namespace sw
