// Showing and hiding both rulers from the main window's "Rulers" switch, its
// menu entry and the ruler's close button, and what the monitor tells them.
#include <QAction>
#include <QToolButton>

#include "mainwindow/controls.h"
#include "mainwindow/form1.h"
#include "rulers/frmruler.h"

namespace sw {

void Form1::createRulerSwitch() {
    chkShowRulers = new QToolButton(this);
    chkShowRulers->setText("Rulers");
    chkShowRulers->setCheckable(true);
    chkShowRulers->setGeometry(DesignRect(480, 0, 615, 255));
    QFont small = font();
    small.setPixelSize(10);
    chkShowRulers->setFont(small);
    // clicked, not toggled: only the user's click runs the handler, so
    // ShowRulers setting the switch does not call itself again.
    connect(chkShowRulers, &QToolButton::clicked, this, [this] { chkShowRulers_Click(); });
}

void Form1::ShowRulers(bool state) {
    mShowRuler = state;
    mnuOptionsShowRuler->setChecked(state);
    if (chkShowRulers->isChecked() != state) chkShowRulers->setChecked(state);
    for (frmRuler* ruler : {g_.gHorizRuler, g_.gVertRuler}) {
        if (ruler == nullptr) continue;
        if (state) {
            // The first showing builds the ruler; showing a shown one leaves it be.
            ruler->Form_Load();
            if (!ruler->isVisible()) ruler->show();
        } else {
            ruler->hide();
        }
    }
}

void Form1::chkShowRulers_Click() {
    LoseFocus();
    ShowRulers(chkShowRulers->isChecked());
}

void Form1::mnuOptionsShowRuler_Click() {
    // Qt has already inverted the check mark when the entry is chosen.
    ShowRulers(mnuOptionsShowRuler->isChecked());
}

void Form1::LoadRulers() {
    for (frmRuler* ruler : {g_.gHorizRuler, g_.gVertRuler}) {
        if (ruler != nullptr) ruler->Form_Load();
    }
}

void Form1::TellRulers(const WindowInfo& target) {
    for (frmRuler* ruler : {g_.gHorizRuler, g_.gVertRuler}) {
        if (ruler != nullptr) ruler->tmrWindowPosition_Timer(target.rect);
    }
}

}  // namespace sw
