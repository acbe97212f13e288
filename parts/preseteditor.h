// The preset editor: a small borderless window with a width and a height box for each of the ten
// preset slots, OK and Cancel (Enter and Esc). It shows the slots as they are when it opens,
// changes them only on an OK whose every box holds a number, and goes when it closes.
#pragma once

#include <array>

#include <QDialog>

#include "desktop.h"
#include "presetslots.h"

namespace sw {

class ScreenModel;
class ValueBox;

class PresetEditor final : public QDialog {
    Q_OBJECT

public:
    // Centred on the monitor that holds most of owner.
    PresetEditor(Presets& presets, WindowSystem& windows, const ScreenModel& screen,
                 QWidget* owner);
    ~PresetEditor() override;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void createControls();
    void fillBoxes();
    void setShape();
    void apply();

    Presets& presets_;
    WindowSystem& windows_;
    const ScreenModel& screen_;
    std::array<ValueBox*, kPresetSlots> widths_{};
    std::array<ValueBox*, kPresetSlots> heights_{};
};

}  // namespace sw
