// The KWin backend assembled: windows, pointer and screen through KWin's script, the Qt-backed
// settings, shell and notification icon, and the program's own windows on Xwayland.
#include "backend_kwin.h"

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>

#include "kwindesktop.h"
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

// The script reports within milliseconds of its start; the program reads the screens as it starts.
constexpr int kFirstReportMs = 3000;

class KWinBackend final : public Backend {
public:
    KWinBackend() : k_(kwin::KWinDesktop::create()), icon_(QGuiApplication::windowIcon()) {
        k_->setConnectionLostHandler([this](const std::string& why) {
            std::fprintf(stderr, "Sizewise: %s\n", why.c_str());
            if (onLost_) onLost_();
        });
    }

    Desktop desktop() override {
        startOnce();
        return Desktop{*k_, *k_, *k_, settings_, shell_, icon_, *k_};
    }

    std::vector<std::string> warnings() const override {
        std::vector<std::string> all{
            "under Wayland, Sizewise sees no clicks or SHIFT presses on other windows and takes "
            "no global shortcuts"};
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
    // Joins the bus and waits, in the event loop, for the script's first reports.
    void startOnce() {
        if (started_) return;
        started_ = true;
        std::string error;
        if (!k_->start(&error)) {
            std::fprintf(stderr, "Sizewise: %s\n", error.c_str());
            QTimer::singleShot(0, [this] {
                if (onLost_) onLost_();
            });
            return;
        }
        QEventLoop wait;
        k_->setReadyHandler([&wait] { wait.quit(); });
        QTimer::singleShot(kFirstReportMs, &wait, &QEventLoop::quit);
        if (!k_->ready()) wait.exec();
        k_->setReadyHandler(nullptr);
    }

    std::unique_ptr<kwin::KWinDesktop> k_;
    qt::QtSettingsStore settings_;
    qt::QtShell shell_;
    qt::QtNotifyIcon icon_;
    std::function<void()> onLost_;
    bool started_ = false;
};

}  // namespace

bool kwinSessionAvailable() {
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    if (wayland == nullptr || *wayland == '\0') return false;
    QDBusConnection bus = QDBusConnection::sessionBus();
    return bus.isConnected() && bus.interface() != nullptr &&
           bus.interface()->isServiceRegistered(QStringLiteral("org.kde.KWin")).value();
}

std::unique_ptr<Backend> createKWinBackend() {
    return std::make_unique<KWinBackend>();
}

}  // namespace sw
