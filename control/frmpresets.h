// The preset editor: a small borderless window with a width and a height box for
// each of the ten preset slots, OK and Cancel. It is shown modally over the main
// window and changes the slots in memory only.
#pragma once

#include <array>
#include <string>

#include <QDialog>

#include "app/module1.h"
#include "control/settings.h"
#include "platform/desktop.h"

class QLabel;
class QPushButton;

namespace sw {

class ValueBox;

class frmPresets final : public QDialog {
public:
    frmPresets(Module1& g, Desktop& desktop, QWidget* owner);
    ~frmPresets() override;

    void Form_Load();
    void txtBox_GotFocus(ValueBox* box);
    void cmdOk_Click();
    void cmdCancel_Click();

    // The reason OK last refused the boxes, empty when it did not.
    const std::string& refusal() const { return mRefusal; }

    QLabel* Label2 = nullptr;
    std::array<ValueBox*, kPresetSlots> txtWidth{};
    std::array<ValueBox*, kPresetSlots> txtHeight{};
    QPushButton* cmdCancel = nullptr;
    QPushButton* cmdOk = nullptr;

protected:
    void showEvent(QShowEvent* event) override;

private:
    void createControls();
    void SetFormRegion();

    Module1& g_;
    Desktop& desktop_;
    std::string mRefusal;
};

}  // namespace sw
