// The size presets on the main window: the ten buttons "0" to "9", which give the target the
// size of their slot (an empty slot's button is greyed out), kept as the slots change.
#pragma once

#include <array>

#include <QObject>

#include "presetslots.h"

class QToolButton;
class QWidget;

namespace sw {

class Target;

class PresetBar final : public QObject {
    Q_OBJECT

public:
    PresetBar(QWidget* window, const Presets& presets, Target& target);

private:
    void showSlots();
    void apply(int slot);

    const Presets& presets_;
    Target& target_;
    std::array<QToolButton*, kPresetSlots> buttons_{};
};

}  // namespace sw
