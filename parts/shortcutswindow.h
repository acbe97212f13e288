// The shortcuts window: one row an action, the key that runs it from anywhere on the desktop,
// and why a key could not be taken. OK takes the keys (and closes once every one was taken),
// Cancel leaves them as they were.
#pragma once

#include <array>

#include <QDialog>

#include "shortcuts.h"

class QKeySequenceEdit;
class QLabel;

namespace sw {

class ShortcutsWindow final : public QDialog {
    Q_OBJECT

public:
    ShortcutsWindow(GlobalShortcuts& shortcuts, QWidget* owner);

private:
    void createRows();
    void showRefusals();
    void apply();

    GlobalShortcuts& shortcuts_;
    std::array<QKeySequenceEdit*, kShortcutActions> edits_{};
    std::array<QLabel*, kShortcutActions> notes_{};
};

}  // namespace sw
