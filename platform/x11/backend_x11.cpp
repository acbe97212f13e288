// The X11 backend assembled: X11 windows, pointer and screen, with the settings
// store, shell and notification icon that Qt provides on this desktop; the
// display checks at start, and the signals and the session's end as requests to
// end the program.
#include <cstdlib>
#include <memory>

#include "backend.h"
#ifdef SIZEWISE_GNOME
#include "backend_gnome.h"
#endif
#ifdef SIZEWISE_KWIN
#include "backend_kwin.h"
#endif
#include "qtnotifyicon.h"
#include "qtsettings.h"
#include "qtshell.h"
#include "termination.h"
#include "x11desktop.h"

#include <QGuiApplication>
#include <QSessionManager>

namespace sw {
namespace {

bool isWaylandSession() {
    const char* type = std::getenv("XDG_SESSION_TYPE");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    return (type != nullptr && std::string(type) == "wayland") ||
           (wayland != nullptr && *wayland != '\0');
}

class X11Backend final : public Backend {
public:
    explicit X11Backend(std::unique_ptr<x11::X11Desktop> x)
        : x_(std::move(x)), icon_(QGuiApplication::windowIcon()) {}

    Desktop desktop() override { return Desktop{*x_, *x_, *x_, settings_, shell_, icon_, *x_}; }

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

void connectConsole() {
    // A program started from a terminal prints there already.
}

bool platformStartChecks(std::vector<std::string>& notes, std::string& error) {
    ignoreBrokenPipes();
    if (isWaylandSession()) {
        // Said before the session bus can be asked whether KWin or the extension is there.
        notes.emplace_back(
            "this is a Wayland session: under Plasma, KWin's script, and under GNOME Shell, "
            "Sizewise's extension, let Sizewise watch and move every window; elsewhere only X11 "
            "(XWayland) windows can be watched and moved");
        // The program's own windows live on Xwayland: there Qt places them itself, and either
        // backend names them by their X11 window ids.
        if (std::getenv("QT_QPA_PLATFORM") == nullptr) ::setenv("QT_QPA_PLATFORM", "xcb", 1);
    }
    // Qt's shared-memory images make every repaint of a region it has just sent
    // wait for the X server first (a round trip, and three thread wake-ups, on
    // each step of the marquee). The windows here are small: sent in the
    // request, a repaint costs less and nothing waits. A user's setting stands.
    if (std::getenv("QT_XCB_NO_MITSHM") == nullptr) ::setenv("QT_XCB_NO_MITSHM", "1", 1);
    const char* display = std::getenv("DISPLAY");
    if (display == nullptr || *display == '\0') {
        error = "no X11 display: DISPLAY is not set";
        return false;
    }
    return true;
}

void installEndRequestHandlers(std::function<void(EndRequest)> onEnd) {
    installTerminationHandler([onEnd](int) { onEnd(EndRequest::Terminate); });
    QObject::connect(qApp, &QGuiApplication::commitDataRequest, qApp,
                     [onEnd](QSessionManager&) { onEnd(EndRequest::SessionEnd); });
}

std::unique_ptr<Backend> createBackend(std::string& error) {
#ifdef SIZEWISE_KWIN
    if (isWaylandSession() && kwinSessionAvailable()) return createKWinBackend();
#endif
#ifdef SIZEWISE_GNOME
    if (isWaylandSession() && gnomeSessionAvailable()) return createGnomeBackend();
#endif
    auto x = x11::X11Desktop::connect(nullptr, &error);
    if (!x) return nullptr;
    return std::make_unique<X11Backend>(std::move(x));
}

}  // namespace sw
