// The target window and the commands sent to it.
#include "target.h"

namespace sw {

Rect ShownRect(const WindowInfo& info) {
    if (info.state != WindowState::Minimised) return info.rect;
    const Rect& r = info.rect;
    return Rect{kMinimisedPosition, kMinimisedPosition,
                static_cast<std::int32_t>(kMinimisedPosition + r.width()),
                static_cast<std::int32_t>(kMinimisedPosition + r.height())};
}

Target::Target(WindowSystem& windows, QObject* parent) : QObject(parent), windows_(windows) {}

void Target::Place(const Placement& placement) {
    windows_.placeWindow(window_, placement);
    emit placed(placement);
}

void Target::Show(ShowCommand command) {
    windows_.showWindow(window_, command);
    emit shown(command);
}

}  // namespace sw
