// The main window's settings: read once while it loads, written once when it
// unloads. Between the two they live in the menus, the window's fields and the
// preset slots.
#include <QAction>
#include <QToolButton>

#include "app/numbers.h"
#include "control/settings.h"
#include "mainwindow/form1.h"

namespace sw {
namespace {

// A saved edge beyond the screen comes back so that the window's far edge
// lies on the screen's; a negative one comes back to 0. An edge just inside
// the screen is left as it is.
std::int32_t clampEdge(std::int32_t saved, double screenTwips, double windowTwips) {
    double edge = saved;
    if (edge > screenTwips) edge = RoundHalfEven(screenTwips - windowTwips);
    if (edge < 0) edge = 0;
    return static_cast<std::int32_t>(edge);
}

}  // namespace

void Form1::LoadConfig() {
    SettingsStore& store = desktop_.settings;
    mnuOptionsShowLayout->setChecked(ReadBoolean(store, ConfigSetting("ShowLayout")));
    mHidden = ReadBoolean(store, ConfigSetting("Hidden"));
    mWindowTop = ReadLong(store, ConfigSetting("WindowTop"));
    mWindowLeft = ReadLong(store, ConfigSetting("WindowLeft"));
    mWindowTop = clampEdge(mWindowTop, mScreen.heightTwips(), height() * twipsPerPixelY());
    mWindowLeft = clampEdge(mWindowLeft, mScreen.widthTwips(), width() * twipsPerPixelX());
    for (int slot = 0; slot < kPresetSlots; ++slot) {
        g_.gPresetWidth[slot] = ReadLong(store, PresetWidthSetting(slot));
        g_.gPresetHeight[slot] = ReadLong(store, PresetHeightSetting(slot));
    }
    chkShowLayout->setChecked(mnuOptionsShowLayout->isChecked());
    DrawForm();
    if (mHidden) {
        // Not shown at all: the start routine leaves a hidden window unmapped.
        mnuHide->setText(kShowCaption);
    } else {
        mnuHide->setText(kHideCaption);
        move(static_cast<int>(RoundHalfEven(mWindowLeft / twipsPerPixelX())),
             static_cast<int>(RoundHalfEven(mWindowTop / twipsPerPixelY())));
    }
    ShowRulers(ReadBoolean(store, ConfigSetting("ShowRuler")));
    RefreshMenu();
}

bool Form1::SaveConfig(std::string* why) {
    // The position is kept current while the window is shown (moveEvent), and
    // while it is hidden it is the one to come back to.
    SettingsStore& store = desktop_.settings;
    bool ok = WriteBoolean(store, ConfigSetting("ShowLayout"), mnuOptionsShowLayout->isChecked());
    ok = WriteBoolean(store, ConfigSetting("Hidden"), mHidden) && ok;
    ok = WriteLong(store, ConfigSetting("WindowTop"), mWindowTop) && ok;
    ok = WriteLong(store, ConfigSetting("WindowLeft"), mWindowLeft) && ok;
    for (int slot = 0; slot < kPresetSlots; ++slot) {
        ok = WriteLong(store, PresetWidthSetting(slot), g_.gPresetWidth[slot]) && ok;
        ok = WriteLong(store, PresetHeightSetting(slot), g_.gPresetHeight[slot]) && ok;
    }
    ok = WriteBoolean(store, ConfigSetting("ShowRuler"), mShowRuler) && ok;
    if (!ok && why) *why = "the settings store refused a value";
    return store.flush(ok ? why : nullptr) && ok;
}

void Form1::ShowRulers(bool state) {
    mShowRuler = state;
    mnuOptionsShowRuler->setChecked(state);
}

// Qt has already inverted the check mark when the entry is chosen.
void Form1::mnuOptionsShowRuler_Click() { ShowRulers(mnuOptionsShowRuler->isChecked()); }

}  // namespace sw
