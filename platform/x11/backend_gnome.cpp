// The GNOME backend assembled: windows, pointer and screen through Sizewise's GNOME Shell
// extension, the Qt-backed settings, shell and notification icon, and the program's own windows
// on Xwayland.
#include "backend_gnome.h"

#include <functional>
#include <string>

#include "busbackend.h"
#include "extensionsetup.h"
#include "gnomedesktop.h"
#include "x11desktop.h"

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

class GnomeBackend final : public BusBackend<gnome::GnomeDesktop> {
public:
    GnomeBackend()
        : BusBackend(gnome::GnomeDesktop::create()),
          x11_(x11::X11Desktop::connect(nullptr, &x11Error_)),
          windows_(*desk_, x11_.get()) {}

    Desktop desktop() override { return desktopWith(windows_); }

    std::vector<std::string> warnings() const override {
        std::vector<std::string> notes{
            "under Wayland, Sizewise takes no clicks from other windows (choose Measure from a "
            "ruler's menu to measure) and no global shortcuts"};
        if (!x11_) {
            notes.emplace_back("Sizewise's own windows cannot be kept above others: " + x11Error_);
        }
        return warningsWith(std::move(notes));
    }

private:
    std::string x11Error_;
    std::unique_ptr<x11::X11Desktop> x11_;
    OwnWindowsOnX11 windows_;
};

DesktopOffer extensionOffer(const std::string& package, bool update) {
    DesktopOffer offer;
    offer.version = static_cast<int>(gnome::kExtensionVersion);
    offer.title = "Sizewise for GNOME Shell";
    offer.question =
        std::string(update ? "The GNOME Shell extension of an older Sizewise is running: "
                             "this Sizewise needs the one that came with it."
                           : "Under GNOME Shell on Wayland, Sizewise can watch and move only the "
                             "windows of X11 programs. Its GNOME Shell extension lets it see, "
                             "move and measure every window.") +
        "\n\nInstall and enable the extension for you? GNOME Shell starts it at your next "
        "log-in; until then Sizewise works as now.";
    offer.acceptText = update ? "Update" : "Install";
    offer.accept = [package](DesktopOffer::Done done) {
        gnome::installExtension(package, std::move(done));
    };
    return offer;
}

}  // namespace

std::optional<GnomeChoice> chooseGnome(const std::string& programDir) {
    const gnome::ExtensionState state = gnome::probeExtension();
    if (!state.shellRunning) return std::nullopt;
    GnomeChoice choice;
    if (state.runningVersion >= gnome::kExtensionVersion) {
        choice.backend = std::make_unique<GnomeBackend>();
        return choice;
    }
    const std::string package =
        gnome::findExtensionPackage(gnome::extensionFolders(programDir), state.shellVersion);
    const bool old = state.runningVersion > 0;
    const std::string meanwhile =
        "; until then only X11 (XWayland) windows can be watched and moved";
    if (old) {
        choice.note = "Sizewise's GNOME Shell extension is older than this Sizewise (version " +
                      std::to_string(state.runningVersion) + ", it needs " +
                      std::to_string(gnome::kExtensionVersion) +
                      "): install the one that came with it and log in again" + meanwhile;
    } else if (state.installedForUser) {
        choice.note =
            "Sizewise's GNOME Shell extension is installed but not running: GNOME Shell "
            "starts it at your next log-in if it is enabled (in Extensions)" +
            meanwhile;
    } else {
        choice.note =
            "under GNOME Shell on Wayland Sizewise watches and moves every window only "
            "with its GNOME Shell extension, which is not installed" +
            meanwhile;
    }
    if (package.empty()) {
        choice.note += " (the extension's package was not found with this Sizewise)";
    } else if (old || !state.installedForUser) {
        choice.offer = extensionOffer(package, old);
    }
    return choice;
}

}  // namespace sw
