// What the backends that work through a compositor on the session bus share: finding the
// compositor's service, naming the session, the first start of their desktop, and the parts they
// are assembled from.
#pragma once

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QGuiApplication>
#include <QTimer>

#include "backend.h"
#include "overlaypointer.h"
#include "qtnotifyicon.h"
#include "qtsettings.h"
#include "qtshell.h"

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

// A backend through a compositor: its desktop for the screen, the reads and the shortcuts, the
// pointer with the program's own window for taking clicks, and Qt's settings, shell and icon. A
// lost compositor is said and told to the program as a lost display.
template <class BusDesktop>
class BusBackend : public Backend {
public:
    std::string displayIdentity() const override { return waylandDisplayIdentity(); }

    void setConnectionLostHandler(std::function<void()> handler) override {
        onLost_ = std::move(handler);
    }

    // Starts listening to the compositor, and tells once its first reports are in.
    void whenReady(std::function<void()> ready) override {
        startThenTell(*desk_, std::move(ready), onLost_);
    }

protected:
    explicit BusBackend(std::unique_ptr<BusDesktop> desk)
        : desk_(std::move(desk)), pointer_(*desk_, *desk_), icon_(QGuiApplication::windowIcon()) {
        desk_->setConnectionLostHandler([this](const std::string& why) {
            std::fprintf(stderr, "Sizewise: %s\n", why.c_str());
            if (onLost_) onLost_();
        });
    }

    Desktop desktopWith(WindowSystem& windows) {
        return Desktop{windows, pointer_, *desk_, settings_, shell_, icon_, *desk_};
    }

    // These, then what the desktop lacks besides.
    std::vector<std::string> warningsWith(std::vector<std::string> notes) const {
        if (!icon_.hostAvailable()) {
            notes.emplace_back("no notification area is running; the icon appears when one starts");
        }
        return notes;
    }

    std::unique_ptr<BusDesktop> desk_;

private:
    qt::OverlayPointer pointer_;
    qt::QtSettingsStore settings_;
    qt::QtShell shell_;
    qt::QtNotifyIcon icon_;
    std::function<void()> onLost_;
};

}  // namespace sw
