// The six dimensions on the main window: captions and values of Left, Top,
// Right, Bottom, Width and Height, and the entry panel that opens over a clicked
// value to type a new one. The value labels are where the target's shown
// dimensions live: the monitor writes them, and the placement call reads them.
#pragma once

#include <array>
#include <string>

#include <QObject>

#include "dimensionedit.h"

class QFrame;
class QToolButton;
class QWidget;

namespace sw {

class ClickLabel;
class Target;
class ValueBox;

class DimensionPanel final : public QObject {
    Q_OBJECT

public:
    // The labels and the panel are made on form, at their design places.
    DimensionPanel(QWidget* form, Target& target);
    ~DimensionPanel() override;

    DimensionLabels labels() const;
    // Writes the labels whose text changed.
    void setLabels(const DimensionLabels& labels);
    void setValue(int index, std::int64_t value);

    // The target placement call: places the target from labels 0, 1, 4 and 5.
    void PlaceTarget();

    // A click on caption or value `index` (`Label1_Click`, `lblWindowDimension_Click`).
    void EditDimension(int index);
    // Hides the entry panel without applying it.
    void CloseEntry();
    bool entryOpen() const;
    // Why OK last refused the typed text, empty when it did not.
    const std::string& refusal() const { return mValueRefusal; }

private:
    void txtValue_GotFocus();
    void txtValue_LostFocus();
    void cmdOk_Click();
    void cmdCancel_Click();
    void RefuseValue(const std::string& why);

    Target& target_;
    std::array<ClickLabel*, 6> Label1{};
    std::array<ClickLabel*, 6> lblWindowDimension{};
    QFrame* picValueEntry = nullptr;
    ValueBox* txtValue = nullptr;
    QToolButton* cmdCancel = nullptr;
    QToolButton* cmdOk = nullptr;
    int mEditIndex = 0;
    bool mOpeningEntry = false;
    std::string mValueRefusal;
};

}  // namespace sw
