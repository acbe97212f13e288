// What the backends that work through a compositor on the session bus share: finding the
// compositor's service, naming the session, and the first start of their desktop.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QTimer>

namespace sw {

// A Wayland session whose session bus has this service on it.
inline bool waylandServiceAvailable(const QString& service) {
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    if (wayland == nullptr || *wayland == '\0') return false;
    QDBusConnection bus = QDBusConnection::sessionBus();
    return bus.isConnected() && bus.interface() != nullptr &&
           bus.interface()->isServiceRegistered(service).value();
}

// One instance per Wayland display.
inline std::string waylandDisplayIdentity() {
    const char* name = std::getenv("WAYLAND_DISPLAY");
    return std::string("wayland ") + (name ? name : "");
}

// Starts the desktop and runs ready once its first reports are in: the program reads the screens
// as it starts, and the compositor answers within milliseconds. A compositor that has not answered
// within three seconds is taken as it is then. A start that fails is told to onLost from the event
// loop, as a lost display is. Nothing waits: ready runs from the event loop.
template <class BusDesktop>
void startThenTell(BusDesktop& desktop, std::function<void()> ready,
                   const std::function<void()>& onLost) {
    constexpr int kFirstReportMs = 3000;
    std::string error;
    if (!desktop.start(&error)) {
        std::fprintf(stderr, "Sizewise: %s\n", error.c_str());
        QTimer::singleShot(0, [&onLost] {
            if (onLost) onLost();
        });
        return;
    }
    auto once = std::make_shared<std::function<void()>>(std::move(ready));
    const auto tell = [&desktop, once] {
        if (!*once) return;
        desktop.setReadyHandler(nullptr);
        const auto told = std::move(*once);
        *once = nullptr;
        told();
    };
    desktop.setReadyHandler(tell);
    QTimer::singleShot(desktop.ready() ? 0 : kFirstReportMs, tell);
}

}  // namespace sw
