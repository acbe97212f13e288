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
    Form1* form = g.gMainForm;
    if (form == nullptr) {
        form = new Form1(g, desktop, std::move(endProcess));
        g.gMainForm = form;
        form->Form_Load();
    }
    // A window hidden to the notification area at the last exit starts hidden.
    // Nor is one shown that was unloaded while its splash showed (the unload
    // has released gMainForm then).
    if (!form->mHidden && !form->isUnloaded()) form->show();
    return form;
}

}  // namespace sw
