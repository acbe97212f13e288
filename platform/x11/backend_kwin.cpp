// The KWin backend assembled: windows, pointer and screen through KWin's script, the Qt-backed
// settings, shell and notification icon, and the program's own windows on Xwayland.
#include "backend_kwin.h"

#include <cstdio>
#include <functional>
#include <string>

#include "busbackend.h"
#include "kwindesktop.h"
#include "overlaypointer.h"
#include "qtnotifyicon.h"
#include "qtsettings.h"
#include "qtshell.h"

#include <QGuiApplication>

namespace sw {
namespace {

class KWinBackend final : public Backend {
public:
    KWinBackend()
        : k_(kwin::KWinDesktop::create()),
          pointer_(*k_, *k_),
          icon_(QGuiApplication::windowIcon()) {
        k_->setConnectionLostHandler([this](const std::string& why) {
            std::fprintf(stderr, "Sizewise: %s\n", why.c_str());
            if (onLost_) onLost_();
        });
    }

    Desktop desktop() override {
        return Desktop{*k_, pointer_, *k_, settings_, shell_, icon_, *k_};
    }

    std::vector<std::string> warnings() const override {
        std::vector<std::string> all{
            "under Wayland, Sizewise sees no clicks or SHIFT presses on other windows (choose "
            "Measure from a ruler's menu to measure) and takes no global shortcuts"};
        if (!icon_.hostAvailable()) {
            all.emplace_back("no notification area is running; the icon appears when one starts");
        }
        return all;
    }

    std::string displayIdentity() const override { return waylandDisplayIdentity(); }

    void setConnectionLostHandler(std::function<void()> handler) override {
        onLost_ = std::move(handler);
    }

    // Starts listening to the compositor, and tells once its first reports are in.
    void whenReady(std::function<void()> ready) override {
        startThenTell(*k_, std::move(ready), onLost_);
    }

private:
    std::unique_ptr<kwin::KWinDesktop> k_;
    qt::OverlayPointer pointer_;
    qt::QtSettingsStore settings_;
    qt::QtShell shell_;
    qt::QtNotifyIcon icon_;
    std::function<void()> onLost_;
};

}  // namespace

bool kwinSessionAvailable() {
    return waylandServiceAvailable(QStringLiteral("org.kde.KWin"));
}

std::unique_ptr<Backend> createKWinBackend() {
    return std::make_unique<KWinBackend>();
}

}  // namespace sw
