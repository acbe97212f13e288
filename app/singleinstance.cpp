// One running Sizewise per user and display.
#include "singleinstance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QLocalSocket>
#include <QStandardPaths>
#include <QTimer>

namespace sw {
namespace {

constexpr int kConnectMs = 500;
// A first instance that has the lock but is not listening yet is still starting.
constexpr int kHandOverMs = 3000;
constexpr int kRetryMs = 50;
constexpr char kShowRequest[] = "show\n";

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

SingleInstance::Claim SingleInstance::claim(std::function<void()> onShowRequest) {
    if (!lock_.tryLock(0)) {
        // QLockFile has already taken over a lock left by a killed process; this
        // one belongs to a live instance.
        return askRunningInstance() ? Claim::HandedOver : Claim::Failed;
    }
    // A socket file left by a killed instance would make listen() fail.
    QLocalServer::removeServer(socketPath_);
    server_ = std::make_unique<QLocalServer>();
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    QObject::connect(server_.get(), &QLocalServer::newConnection, server_.get(),
                     [server = server_.get(), onShowRequest = std::move(onShowRequest)] {
                         while (QLocalSocket* socket = server->nextPendingConnection()) {
                             QObject::connect(socket, &QLocalSocket::disconnected, socket,
                                              &QObject::deleteLater);
                             if (onShowRequest) onShowRequest();
                         }
                     });
    server_->listen(socketPath_);
    return Claim::First;
}

bool SingleInstance::askRunningInstance() {
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < kHandOverMs) {
        QLocalSocket socket;
        socket.connectToServer(socketPath_);
        if (socket.waitForConnected(kConnectMs)) {
            socket.write(kShowRequest);
            socket.waitForBytesWritten(kConnectMs);
            socket.disconnectFromServer();
            return true;
        }
        // Not listening yet: it is still loading. Connecting to a missing socket
        // fails at once, so the retries are paced.
        QEventLoop pause;
        QTimer::singleShot(kRetryMs, &pause, &QEventLoop::quit);
        pause.exec();
    }
    return false;
}

}  // namespace sw
