// One running Sizewise per user and display. The first instance holds a lock
// file and listens on a local socket; a later one finds the lock held, asks the
// running instance to show itself and steps aside. Two instances would
// overwrite each other's settings when they end.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include <QLocalServer>
#include <QLockFile>

namespace sw {

class SingleInstance {
public:
    // scope names what one instance is for (the display), so that each display
    // has its own.
    explicit SingleInstance(const std::string& scope);
    ~SingleInstance();

    enum class Claim { First, HandedOver, Failed };
    // First: this process is the instance (and onShowRequest runs when a later
    // one starts). HandedOver: a running instance was asked to show itself.
    // Failed: another instance holds the lock but could not be reached.
    Claim claim(std::function<void()> onShowRequest);

    // Where the lock lives.
    const QString& lockPath() const { return lockPath_; }

private:
    bool askRunningInstance();

    QString lockPath_;
    QString socketPath_;
    QLockFile lock_;
    std::unique_ptr<QLocalServer> server_;
};

}  // namespace sw
