// The X11 backend assembled: X11 windows, pointer and screen, with the settings
// store, shell and notification icon that Qt provides on this desktop; the
// display checks at start, and the signals and the session's end as requests to
// end the program.
#include <cstdlib>
#include <memory>
#include <optional>

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

#include <QCoreApplication>
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
    // notes: what the session lets Sizewise see, said first; offer: what the user could do about
    // it.
    X11Backend(std::unique_ptr<x11::X11Desktop> x, std::vector<std::string> notes,
               std::optional<DesktopOffer> offer)
        : x_(std::move(x)),
          notes_(std::move(notes)),
          offer_(std::move(offer)),
          icon_(QGuiApplication::windowIcon()) {}

    Desktop desktop() override { return Desktop{*x_, *x_, *x_, settings_, shell_, icon_, *x_}; }

    std::optional<DesktopOffer> offer() const override { return offer_; }

    std::vector<std::string> warnings() const override {
        std::vector<std::string> all = notes_;
        for (const std::string& warning : x_->warnings()) all.push_back(warning);
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
    std::vector<std::string> notes_;
    std::optional<DesktopOffer> offer_;
    qt::QtSettingsStore settings_;
    qt::QtShell shell_;
    qt::QtNotifyIcon icon_;
};

}  // namespace

void connectConsole() {
    // A program started from a terminal prints there already.
}

bool platformStartChecks(std::vector<std::string>& /*notes*/, std::string& error) {
    ignoreBrokenPipes();
    // The program's own windows live on Xwayland in a Wayland session: there Qt places them
    // itself, and every backend names them by their X11 window ids.
    if (isWaylandSession() && std::getenv("QT_QPA_PLATFORM") == nullptr) {
        ::setenv("QT_QPA_PLATFORM", "xcb", 1);
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
    std::vector<std::string> notes;
    std::optional<DesktopOffer> offer;
    if (isWaylandSession()) {
#ifdef SIZEWISE_KWIN
        if (kwinSessionAvailable()) return createKWinBackend();
#endif
#ifdef SIZEWISE_GNOME
        if (auto gnome = chooseGnome(QCoreApplication::applicationDirPath().toStdString())) {
            if (gnome->backend) return std::move(gnome->backend);
            notes.push_back(gnome->note);
            offer = std::move(gnome->offer);
        }
#endif
        if (notes.empty()) {
            notes.emplace_back(
                "this Wayland compositor lets Sizewise watch and move only X11 (XWayland) "
                "windows; under KDE Plasma, and GNOME Shell with Sizewise's extension, it sees "
                "every window");
        }
    }
    auto x = x11::X11Desktop::connect(nullptr, &error);
    if (!x) return nullptr;
    return std::make_unique<X11Backend>(std::move(x), std::move(notes), std::move(offer));
}

}  // namespace sw
