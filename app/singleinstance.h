// One running Sizewise per user and display. The first instance holds a lock
// file and listens on a local socket; a later one finds the lock held, asks the
// running instance to show itself and steps aside. Two instances would
// overwrite each other's settings when they end. A command given on the command
// line is handed to the running instance the same way, and its reply comes back.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include <QLocalServer>
#include <QLockFile>

#include "windowcommand.h"

class QLocalSocket;

namespace sw {

class SingleInstance {
public:
    // scope names what one instance is for (the display), so that each display
    // has its own.
    explicit SingleInstance(const std::string& scope);
    ~SingleInstance();

    enum class Claim { First, HandedOver, Failed };
    using Answer = std::function<void(const Reply&)>;
    using CommandHandler = std::function<void(const std::vector<std::string>& args, Answer)>;
    // First: this process is the instance (and onShowRequest runs when a later
    // one starts, onCommand when a command is handed over). HandedOver: a running
    // instance was asked to show itself. Failed: another instance holds the lock
    // but could not be reached.
    Claim claim(std::function<void()> onShowRequest, CommandHandler onCommand = nullptr);

    // The running instance's reply to a command; none when no instance runs.
    // An instance that does not answer within kCommandMs is said in the reply.
    static constexpr int kCommandMs = 2000;
    std::optional<Reply> sendCommand(const std::vector<std::string>& args);

    // Where the lock lives.
    const QString& lockPath() const { return lockPath_; }

private:
    bool askRunningInstance();
    // Connects to the running instance, trying again while it is still starting.
    bool connectWithin(QLocalSocket& socket, int milliseconds);
    void serve(QLocalSocket* socket);

    std::function<void()> onShowRequest_;
    CommandHandler onCommand_;

    QString lockPath_;
    QString socketPath_;
    QLockFile lock_;
    std::unique_ptr<QLocalServer> server_;
};

}  // namespace sw
