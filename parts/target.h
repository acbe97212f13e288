// The target window: the window every command acts on, as the monitor last
// chose it, its state as last read, and the commands sent to it (the target
// placement call and the show commands).
#pragma once

#include <QObject>

#include "desktop.h"

namespace sw {

// Left and Top of a minimised window as the program shows and reasons with
// them: where Windows parks such windows.
inline constexpr std::int32_t kMinimisedPosition = -32000;

// The one place where a window's state becomes the program's own encoding: a
// minimised window reads at (-32000, -32000) with the size it is restored to;
// any other window as it is.
Rect ShownRect(const WindowInfo& info);

class Target final : public QObject {
    Q_OBJECT

public:
    explicit Target(WindowSystem& windows, QObject* parent = nullptr);

    // `gTargetHwnd`: set by the start routine and by every reading of the monitor.
    WindowId window() const { return window_; }
    void setWindow(WindowId window) { window_ = window; }
    // `gWindowState`: the target's state at the monitor's last reading.
    WindowState state() const { return state_; }
    void setState(WindowState state) { state_ = state; }

    // The target placement call: the target gets this outer rectangle, and is
    // raised and activated.
    void Place(const Placement& placement);
    void Show(ShowCommand command);

signals:
    // A command went out; the monitor shows what it was meant to do until it
    // has landed.
    void placed(const sw::Placement& placement);
    void shown(sw::ShowCommand command);

private:
    WindowSystem& windows_;
    WindowId window_ = 0;
    WindowState state_ = WindowState::Gone;
};

}  // namespace sw
