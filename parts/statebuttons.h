// The window commands on the main window: the minimise, restore and maximise
// buttons, which also show the target's state, and "0,0".
#pragma once

#include <array>
#include <optional>

#include <QObject>

#include "desktop.h"

class QButtonGroup;
class QPushButton;
class QToolButton;
class QWidget;

namespace sw {

class Target;

// The buttons, by index: restore (0), minimise (1), maximise (2).
std::optional<ShowCommand> ShowCommandForOption(int index);
// The button that shows a state; -1 for a state that selects none.
int OptionForState(WindowState state);

class StateButtons final : public QObject {
    Q_OBJECT

public:
    StateButtons(QWidget* form, Target& target);

    // The monitor's selection: selecting the button of the target's state runs
    // the button's click action, as a user's click would.
    void ShowState(WindowState state);
    void optWindowControl_Click(int index);

signals:
    // "0,0": the target goes to the origin.
    void zeroWindowClicked();

private:
    Target& target_;
    QButtonGroup* optGroup_ = nullptr;
    std::array<QToolButton*, 3> optWindowControl{};
    QPushButton* cmdZeroWindow = nullptr;
};

}  // namespace sw
