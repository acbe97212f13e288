// The GNOME backend assembled: windows, pointer and screen through Sizewise's GNOME Shell
// extension, the Qt-backed settings, shell and notification icon, and the program's own windows
// on Xwayland.
#include "backend_gnome.h"

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

#include "gnomedesktop.h"
#include "qtnotifyicon.h"
#include "qtsettings.h"
#include "qtshell.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QEventLoop>
#include <QGuiApplication>
#include <QTimer>

namespace sw {
namespace {

// The extension answers within milliseconds; the program reads the screens as it starts.
constexpr int kFirstAnswerMs = 3000;

class GnomeBackend final : public Backend {
public:
    GnomeBackend() : g_(gnome::GnomeDesktop::create()), icon_(QGuiApplication::windowIcon()) {
        g_->setConnectionLostHandler([this](const std::string& why) {
            std::fprintf(stderr, "Sizewise: %s\n", why.c_str());
            if (onLost_) onLost_();
        });
    }

    Desktop desktop() override {
        startOnce();
        return Desktop{*g_, *g_, *g_, settings_, shell_, icon_, *g_};
    }

    std::vector<std::string> warnings() const override {
        std::vector<std::string> all{
            "under Wayland, Sizewise takes no clicks from other windows and no global shortcuts"};
        if (!icon_.hostAvailable()) {
            all.emplace_back("no notification area is running; the icon appears when one starts");
        }
        return all;
    }

    std::string displayIdentity() const override {
        const char* name = std::getenv("WAYLAND_DISPLAY");
        return std::string("wayland ") + (name ? name : "");
    }

    void setConnectionLostHandler(std::function<void()> handler) override {
        onLost_ = std::move(handler);
    }

private:
    // Starts listening and waits, in the event loop, for the extension's first answers.
    void startOnce() {
        if (started_) return;
        started_ = true;
        std::string error;
        if (!g_->start(&error)) {
            std::fprintf(stderr, "Sizewise: %s\n", error.c_str());
            QTimer::singleShot(0, [this] {
                if (onLost_) onLost_();
            });
            return;
        }
        QEventLoop wait;
        g_->setReadyHandler([&wait] { wait.quit(); });
        QTimer::singleShot(kFirstAnswerMs, &wait, &QEventLoop::quit);
        if (!g_->ready()) wait.exec();
        g_->setReadyHandler(nullptr);
    }

    std::unique_ptr<gnome::GnomeDesktop> g_;
    qt::QtSettingsStore settings_;
    qt::QtShell shell_;
    qt::QtNotifyIcon icon_;
    std::function<void()> onLost_;
    bool started_ = false;
};

}  // namespace

bool gnomeSessionAvailable() {
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    if (wayland == nullptr || *wayland == '\0') return false;
    QDBusConnection bus = QDBusConnection::sessionBus();
    return bus.isConnected() && bus.interface() != nullptr &&
           bus.interface()->isServiceRegistered(QStringLiteral("io.github.sizewise.Shell")).value();
}

std::unique_ptr<Backend> createGnomeBackend() {
    return std::make_unique<GnomeBackend>();
}

}  // namespace sw
