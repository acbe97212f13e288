// The GNOME backend assembled: windows, pointer and screen through Sizewise's GNOME Shell
// extension, the Qt-backed settings, shell and notification icon, and the program's own windows
// on Xwayland.
#include "backend_gnome.h"

#include <cstdio>
#include <functional>
#include <string>

#include "busbackend.h"
#include "gnomedesktop.h"
#include "qtnotifyicon.h"
#include "qtsettings.h"
#include "qtshell.h"
#include "x11desktop.h"

#include <QGuiApplication>

namespace sw {
namespace {

// X11 window ids fit in 29 bits; the GNOME backend hands out its own ids from here up.
constexpr WindowId kFirstGnomeId = 0x80000000;

// The program's own windows are X11 windows of Xwayland, named by their X11 ids, which Mutter's
// extension does not know: commands on them go to X11, where Mutter honours them as for any X11
// client; every other window is the extension's.
class OwnWindowsOnX11 final : public WindowSystem {
public:
    OwnWindowsOnX11(gnome::GnomeDesktop& gnome, WindowSystem* x11) : gnome_(gnome), x11_(x11) {}

    // One of the program's own windows in front is named by its X11 id, as the program names
    // it; Xwayland's active window is Mutter's too. 0 when X11 does not say so (yet).
    WindowId foregroundWindow() override {
        const WindowId front = gnome_.foregroundWindow();
        if (!gnome_.isOwnWindow(front)) return front;
        const WindowId own = x11_ != nullptr ? x11_->foregroundWindow() : 0;
        return own != 0 && own < kFirstGnomeId ? own : 0;
    }
    WindowInfo describeWindow(WindowId w) override { return pick(w).describeWindow(w); }
    Rect windowRect(WindowId w) override { return pick(w).windowRect(w); }
    void placeWindow(WindowId w, const Placement& outer) override { pick(w).placeWindow(w, outer); }
    void showWindow(WindowId w, ShowCommand command) override { pick(w).showWindow(w, command); }
    void setTopmost(WindowId w, bool onTop) override { pick(w).setTopmost(w, onTop); }
    void activateWindow(WindowId w) override { pick(w).activateWindow(w); }
    void markToolWindow(WindowId w) override { pick(w).markToolWindow(w); }
    void sendForegroundToBack() override { gnome_.sendForegroundToBack(); }
    void setChangeHandler(ChangeHandler onChange) override {
        gnome_.setChangeHandler(std::move(onChange));
    }

private:
    WindowSystem& pick(WindowId w) {
        return w != 0 && w < kFirstGnomeId && x11_ != nullptr ? *x11_ : gnome_;
    }

    gnome::GnomeDesktop& gnome_;
    WindowSystem* x11_;
};

class GnomeBackend final : public Backend {
public:
    GnomeBackend()
        : g_(gnome::GnomeDesktop::create()),
          x11_(x11::X11Desktop::connect(nullptr, &x11Error_)),
          windows_(*g_, x11_.get()),
          icon_(QGuiApplication::windowIcon()) {
        g_->setConnectionLostHandler([this](const std::string& why) {
            std::fprintf(stderr, "Sizewise: %s\n", why.c_str());
            if (onLost_) onLost_();
        });
    }

    Desktop desktop() override {
        startOnce();
        return Desktop{windows_, *g_, *g_, settings_, shell_, icon_, *g_};
    }

    std::vector<std::string> warnings() const override {
        std::vector<std::string> all{
            "under Wayland, Sizewise takes no clicks from other windows and no global shortcuts"};
        if (!x11_) {
            all.emplace_back("Sizewise's own windows cannot be kept above others: " + x11Error_);
        }
        if (!icon_.hostAvailable()) {
            all.emplace_back("no notification area is running; the icon appears when one starts");
        }
        return all;
    }

    std::string displayIdentity() const override { return waylandDisplayIdentity(); }

    void setConnectionLostHandler(std::function<void()> handler) override {
        onLost_ = std::move(handler);
    }

private:
    // Starts listening and waits, in the event loop, for the extension's first answers.
    void startOnce() {
        if (started_) return;
        started_ = true;
        startAndAwaitFirstReports(*g_, onLost_);
    }

    std::unique_ptr<gnome::GnomeDesktop> g_;
    std::string x11Error_;
    std::unique_ptr<x11::X11Desktop> x11_;
    OwnWindowsOnX11 windows_;
    qt::QtSettingsStore settings_;
    qt::QtShell shell_;
    qt::QtNotifyIcon icon_;
    std::function<void()> onLost_;
    bool started_ = false;
};

}  // namespace

bool gnomeSessionAvailable() {
    return waylandServiceAvailable(QStringLiteral("io.github.sizewise.Shell"));
}

std::unique_ptr<Backend> createGnomeBackend() {
    return std::make_unique<GnomeBackend>();
}

}  // namespace sw
