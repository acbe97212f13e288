// Showing the about window from the main window: timed as the start-up splash,
// or with a Close button from the menu.
#include <QPushButton>
#include <QTimer>

#include "control/frmsplash.h"
#include "mainwindow/form1.h"

namespace sw {

void Form1::ShowAbout(bool timed, bool allowClose) {
    // A fresh window each time, so that every opening loads its labels anew.
    // Owned by the main window once that exists on the display; an owner makes
    // Qt create the owner's window, and a main window created before it is first
    // shown would be placed by its inside rather than its frame.
    frmSplash splash(desktop_, testAttribute(Qt::WA_WState_Created) ? this : nullptr);
    mSplash = &splash;
    if (timed) {
        splash.tmrShow->start(mSplashTime);
    } else {
        splash.tmrShow->stop();
    }
    splash.cmdClose->setVisible(allowClose);
    // Blocks this window only: the notification icon stays live, and a right
    // click on it closes the splash.
    splash.setWindowModality(Qt::WindowModal);
    splash.exec();
    splash.tmrShow->stop();
    mSplash = nullptr;
}

void Form1::mnuAbout_Click() { ShowAbout(false, true); }

}  // namespace sw
