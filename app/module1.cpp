// The start routine.
#include "app/module1.h"

#include "mainwindow/form1.h"

namespace sw {

Form1* Main(Module1& g, Desktop& desktop, std::function<void(int status)> endProcess) {
    WindowSystem& windows = desktop.windows;
    g.gTargetHwnd = windows.foregroundWindow();
    std::size_t titleLength = windows.describeWindow(g.gTargetHwnd).title.size();
    for (int attempt = 0; attempt < kStartAttempts && titleLength == 0; ++attempt) {
        windows.sendForegroundToBack();
        g.gTargetHwnd = windows.foregroundWindow();
        titleLength = windows.describeWindow(g.gTargetHwnd).title.size();
    }
    if (g.gMainForm == nullptr) {
        g.gMainForm = new Form1(g, desktop, std::move(endProcess));
        g.gMainForm->Form_Load();
    }
    // A window hidden to the notification area at the last exit starts hidden.
    // Nor does one that was unloaded while its splash showed.
    if (!g.gMainForm->mHidden && !g.gMainForm->isUnloaded()) g.gMainForm->show();
    return g.gMainForm;
}

}  // namespace sw
