// The X11 backend assembled: X11 windows, pointer and screen, with the settings
// store, shell and notification icon that Qt provides on this desktop.
#include <cstdlib>
#include <memory>

#include "platform/backend.h"
#include "platform/qt/qtnotifyicon.h"
#include "platform/qt/qtsettings.h"
#include "platform/qt/qtshell.h"
#include "platform/x11/x11desktop.h"

#include <QGuiApplication>

namespace sw {
namespace {

class X11Backend final : public Backend {
public:
    // The notification area shows the application's own icon, set before the
    // backend is made.
    explicit X11Backend(std::unique_ptr<x11::X11Desktop> x)
        : x_(std::move(x)), icon_(QGuiApplication::windowIcon()) {}

    Desktop desktop() override { return Desktop{*x_, *x_, *x_, settings_, shell_, icon_}; }

    std::vector<std::string> warnings() const override {
        std::vector<std::string> all = x_->warnings();
        if (!icon_.hostAvailable()) {
            all.emplace_back("no notification area is running; the icon appears when one starts");
        }
        return all;
    }

    std::string displayIdentity() const override {
        // ":0" and ":0.1" are one display with two screens.
        const char* name = std::getenv("DISPLAY");
        std::string display = name ? name : "";
        const auto colon = display.rfind(':');
        const auto dot = display.find('.', colon == std::string::npos ? 0 : colon);
        if (dot != std::string::npos) display.resize(dot);
        return "x11 " + display;
    }

    void setConnectionLostHandler(std::function<void()> handler) override {
        x_->setConnectionLostHandler(std::move(handler));
    }

private:
    std::unique_ptr<x11::X11Desktop> x_;
    qt::QtSettingsStore settings_;
    qt::QtShell shell_;
    qt::QtNotifyIcon icon_;
};

}  // namespace

std::unique_ptr<Backend> createBackend(std::string& error) {
    auto x = x11::X11Desktop::connect(nullptr, &error);
    if (!x) return nullptr;
    return std::make_unique<X11Backend>(std::move(x));
}

}  // namespace sw
