// The window commands on the main window: the three state buttons and "0,0".
#include <QLabel>

#include "control/windowcommands.h"
#include "mainwindow/controls.h"
#include "mainwindow/form1.h"

namespace sw {

void Form1::optWindowControl_Click(int index) {
    LoseFocus();
    if (const auto command = ShowCommandForOption(index)) {
        desktop_.windows.showWindow(g_.gTargetHwnd, *command);
        // The monitor selects the button of the state the target already has.
        const int wanted = index + 1;
        if (g_.gWindowState != wanted) {
            ExpectChange(std::nullopt, wanted, kShowLanding);
        } else {
            mExpected.reset();
        }
    }
}

void Form1::cmdZeroWindow_Click() {
    LoseFocus();
    lblWindowDimension[kLeft]->setText("0");
    lblWindowDimension[kTop]->setText("0");
    PlaceTarget();
}

}  // namespace sw
