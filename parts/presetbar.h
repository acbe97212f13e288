// The size presets on the main window: the ten buttons "0" to "9" and the
// "Presets" menu built from the slots, choosing a slot, and opening the editor.
#pragma once

#include <array>
#include <cstdint>

#include <QObject>

#include "desktop.h"
#include "presets.h"

class QAction;
class QMenu;
class QToolButton;
class QWidget;

namespace sw {

class PresetBar final : public QObject {
    Q_OBJECT

public:
    // The buttons are made on form; the editor is centred on screen.
    PresetBar(QWidget* form, Presets& presets, WindowSystem& windows, const ScreenMetrics& screen);

    // The "&Presets" submenu, for the pop-up menu to hold.
    QMenu* menu() const { return mnuPresets; }

    // Rebuilds the buttons and the menu from the slots.
    void RefreshMenu();
    void mnuPreset_Click(int index);
    void cmdPreset_Click(int index);
    // Opens the editor (modal) on the slots as they are now (`mnuEditPresets_Click`).
    void EditPresets();

signals:
    // A slot was chosen: the target takes this size.
    void presetChosen(std::int32_t width, std::int32_t height);

private:
    QWidget* form_;
    Presets& presets_;
    WindowSystem& windows_;
    const ScreenMetrics& screen_;
    std::array<QToolButton*, kPresetSlots> cmdPreset{};
    QMenu* mnuPresets = nullptr;
    std::array<QAction*, kPresetSlots> mnuPreset{};
};

}  // namespace sw
