// Editing the target's dimensions on the main window: the entry panel that opens
// over a clicked value, OK and Cancel, and the target placement call.
#include <QFrame>
#include <QLabel>

#include <cstdint>

#include "control/dimensionedit.h"
#include "mainwindow/controls.h"
#include "mainwindow/form1.h"

namespace sw {

void Form1::Label1_Click(int index) { EditDimension(index); }

void Form1::lblWindowDimension_Click(int index) { EditDimension(index); }

void Form1::EditDimension(int index) {
    if (index < 0 || index > 5) return;
    mEditIndex = index;
    mValueRefusal.clear();
    txtValue->setText(lblWindowDimension[index]->text());
    picValueEntry->move(Label1[index]->x() - txtValue->x(), Label1[index]->y() + Label1[index]->height());
    picValueEntry->show();
    picValueEntry->raise();
    // Moving the focus away and back must not count as the box losing it: a click
    // on another value while the panel is open moves the panel there.
    mOpeningEntry = true;
    LoseFocus();
    txtValue->setFocus(Qt::OtherFocusReason);
    mOpeningEntry = false;
    txtValue->selectAll();
}

void Form1::txtValue_GotFocus() { txtValue->selectAll(); }

void Form1::txtValue_LostFocus() {
    if (!mOpeningEntry) picValueEntry->hide();
}

void Form1::cmdCancel_Click() {
    mValueRefusal.clear();
    picValueEntry->hide();
}

void Form1::cmdOk_Click() {
    std::string why;
    const auto labels = ApplyDimensionEdit(dimensionLabels(), mEditIndex, txtValue->text().toStdString(), &why);
    if (!labels) {
        RefuseValue(why);
        return;
    }
    mValueRefusal.clear();
    QToolTip::hideText();
    setDimensionLabels(*labels);
    PlaceTarget();
    picValueEntry->hide();
}

void Form1::RefuseValue(const std::string& why) {
    // The panel stays open; the reason shows below its buttons.
    mValueRefusal = why;
    ShowRefusal(txtValue, why, picValueEntry->height());
}

void Form1::PlaceTarget() {
    const auto placement = PlacementFromLabels(dimensionLabels());
    if (!placement) return;
    desktop_.windows.placeWindow(g_.gTargetHwnd, placement->left, placement->top, placement->width,
                                 placement->height);
    const std::int64_t right = std::int64_t{placement->left} + placement->width;
    const std::int64_t bottom = std::int64_t{placement->top} + placement->height;
    std::optional<Rect> expected;
    if (right <= INT32_MAX && bottom <= INT32_MAX) {
        expected = Rect{placement->left, placement->top, static_cast<std::int32_t>(right),
                        static_cast<std::int32_t>(bottom)};
    }
    ExpectChange(expected, kShowStateNormal, kPlacementLanding);
}

}  // namespace sw
