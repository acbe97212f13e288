// The KWin backend assembled: windows, pointer and screen through KWin's script, the Qt-backed
// settings, shell and notification icon, and the program's own windows on Xwayland.
#include "backend_kwin.h"

#include <string>
#include <vector>

#include "busbackend.h"
#include "kwindesktop.h"

namespace sw {
namespace {

class KWinBackend final : public BusBackend<kwin::KWinDesktop> {
public:
    KWinBackend() : BusBackend(kwin::KWinDesktop::create()) {}

    Desktop desktop() override { return desktopWith(*desk_); }

    std::vector<std::string> warnings() const override {
        return warningsWith(
            {"under Wayland, Sizewise sees no clicks or SHIFT presses on other windows (choose "
             "Measure from a ruler's menu to measure) and takes no global shortcuts"});
    }
};

}  // namespace

bool kwinSessionAvailable() {
    return waylandServiceAvailable(QStringLiteral("org.kde.KWin"));
}

std::unique_ptr<Backend> createKWinBackend() {
    return std::make_unique<KWinBackend>();
}

}  // namespace sw
