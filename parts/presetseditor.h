// The preset editor: a small borderless window with a width and a height box for
// each of the ten preset slots, OK and Cancel. It is shown modally over the main
// window and changes the slots in memory only.
#pragma once

#include <array>
#include <string>

#include <QDialog>

#include "desktop.h"
#include "presets.h"

class QLabel;
class QPushButton;

namespace sw {

class ValueBox;

class frmPresets final : public QDialog {
public:
    // Centred on screen; OK writes the boxes into presets.
    frmPresets(Presets& presets, WindowSystem& windows, const ScreenMetrics& screen,
               QWidget* owner);
    ~frmPresets() override;

    // The reason OK last refused the boxes, empty when it did not.
    const std::string& refusal() const { return mRefusal; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void createControls();
    void Form_Load();
    void SetFormRegion();
    void txtBox_GotFocus(ValueBox* box);
    void cmdOk_Click();
    void cmdCancel_Click();

    Presets& presets_;
    WindowSystem& windows_;
    const ScreenMetrics& screen_;
    std::string mRefusal;
    QLabel* Label2 = nullptr;
    std::array<ValueBox*, kPresetSlots> txtWidth{};
    std::array<ValueBox*, kPresetSlots> txtHeight{};
    QPushButton* cmdCancel = nullptr;
    QPushButton* cmdOk = nullptr;
};

}  // namespace sw
