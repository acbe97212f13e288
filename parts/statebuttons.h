// The window commands on the main window: the restore, minimise and maximise buttons, which also
// show the target's state, and "0,0", which moves the target to the top-left corner of the
// monitor that holds most of it.
#pragma once

#include <array>
#include <optional>

#include <QObject>

#include "desktop.h"

class QPushButton;
class QToolButton;
class QWidget;

namespace sw {

class ScreenModel;
class Target;
struct TargetReading;

// The buttons, by index: restore (0), minimise (1), maximise (2).
std::optional<ShowCommand> showCommandForButton(int index);
// The button that shows a state; -1 for a state that selects none.
int buttonForState(WindowState state);

class StateButtons final : public QObject {
    Q_OBJECT

public:
    StateButtons(QWidget* window, Target& target, const ScreenModel& screen);

private:
    // The state read is selected; selecting a button runs its command, as a user's click would.
    void show(const TargetReading& reading);
    void check(int index);
    void runCommand(int index);
    void moveToOrigin();

    Target& target_;
    const ScreenModel& screen_;
    std::array<QToolButton*, 3> stateButtons_{};
    QPushButton* origin_ = nullptr;
};

}  // namespace sw
