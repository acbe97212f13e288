// The preset buttons and menu.
#include "presetbar.h"

#include <QAction>
#include <QMenu>
#include <QToolButton>

#include "presetseditor.h"
#include "widgets.h"

namespace sw {
namespace {

// Design geometry, in twips.
constexpr int kPresetLeft = 1200;
constexpr int kPresetStep = 240;
constexpr int kPresetTop = 45;
constexpr int kPresetWidth = 200;
constexpr int kPresetHeight = 195;

}  // namespace

PresetBar::PresetBar(QWidget* form, Presets& presets, WindowSystem& windows,
                     const ScreenMetrics& screen)
    : QObject(form), form_(form), presets_(presets), windows_(windows), screen_(screen) {
    QFont tiny = form->font();
    tiny.setPixelSize(9);
    mnuPresets = new QMenu("&Presets", form);
    for (int i = 0; i < kPresetSlots; ++i) {
        cmdPreset[i] = new QToolButton(form);
        cmdPreset[i]->setObjectName(QString("cmdPreset%1").arg(i));
        cmdPreset[i]->setText(QString::number(i));
        cmdPreset[i]->setFont(tiny);
        cmdPreset[i]->setGeometry(
            DesignRect(kPresetLeft + kPresetStep * i, kPresetTop, kPresetWidth, kPresetHeight));
        connect(cmdPreset[i], &QToolButton::clicked, this, [this, i] { cmdPreset_Click(i); });
        mnuPreset[i] = mnuPresets->addAction(i == 0 ? "not set" : "");
        mnuPreset[i]->setVisible(i == 0);
        connect(mnuPreset[i], &QAction::triggered, this, [this, i] { mnuPreset_Click(i); });
    }
}

void PresetBar::RefreshMenu() {
    const PresetValues& values = presets_.values();
    for (int i = 0; i < kPresetSlots; ++i) {
        if (PresetIsSet(values.width[i], values.height[i])) {
            const QString caption =
                QString::fromStdString(PresetCaption(values.width[i], values.height[i]));
            mnuPreset[i]->setText(caption);
            mnuPreset[i]->setVisible(true);
            cmdPreset[i]->setToolTip(kPresetTipPrefix + caption);
            cmdPreset[i]->setEnabled(true);
        } else {
            // Entry 0 always stays, so that the submenu is never empty.
            if (i > 0) mnuPreset[i]->setVisible(false);
            cmdPreset[i]->setToolTip(kNoPresetTip);
            cmdPreset[i]->setEnabled(false);
        }
    }
}

void PresetBar::mnuPreset_Click(int index) {
    if (index < 0 || index >= kPresetSlots) return;
    emit presetChosen(presets_.values().width[index], presets_.values().height[index]);
}

void PresetBar::cmdPreset_Click(int index) {
    mnuPreset_Click(index);
    LoseFocus(form_);
}

void PresetBar::EditPresets() {
    // A fresh editor each time, so that it reads the slots as they are now.
    {
        frmPresets editor(presets_, windows_, screen_, form_);
        editor.exec();
    }
    RefreshMenu();
}

}  // namespace sw
