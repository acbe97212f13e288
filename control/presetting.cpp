// The size presets on the main window: the ten buttons and the "Presets" menu
// built from the slots, applying a slot to the target, and opening the editor.
#include <QAction>
#include <QToolButton>

#include "app/numbers.h"
#include "control/frmpresets.h"
#include "control/presets.h"
#include "mainwindow/controls.h"
#include "mainwindow/form1.h"

namespace sw {
namespace {

// Design geometry, in twips.
constexpr int kPresetLeft = 1200;
constexpr int kPresetStep = 240;
constexpr int kPresetTop = 45;
constexpr int kPresetWidth = 200;
constexpr int kPresetHeight = 195;

}  // namespace

void Form1::createPresetControls() {
    QFont tiny = font();
    tiny.setPixelSize(9);
    for (int i = 0; i < kPresetSlots; ++i) {
        cmdPreset[i] = new QToolButton(this);
        cmdPreset[i]->setText(QString::number(i));
        cmdPreset[i]->setFont(tiny);
        cmdPreset[i]->setGeometry(DesignRect(kPresetLeft + kPresetStep * i, kPresetTop, kPresetWidth, kPresetHeight));
        connect(cmdPreset[i], &QToolButton::clicked, this, [this, i] { cmdPreset_Click(i); });
    }
}

void Form1::RefreshMenu() {
    for (int i = 0; i < kPresetSlots; ++i) {
        const std::int32_t width = g_.gPresetWidth[i];
        const std::int32_t height = g_.gPresetHeight[i];
        if (PresetIsSet(width, height)) {
            const QString caption = QString::fromStdString(PresetCaption(width, height));
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

void Form1::mnuPreset_Click(int index) {
    if (index < 0 || index >= kPresetSlots) return;
    lblWindowDimension[kWidth]->setText(QString::fromStdString(FormatLong(g_.gPresetWidth[index])));
    lblWindowDimension[kHeight]->setText(QString::fromStdString(FormatLong(g_.gPresetHeight[index])));
    PlaceTarget();
}

void Form1::cmdPreset_Click(int index) {
    mnuPreset_Click(index);
    LoseFocus();
}

void Form1::mnuEditPresets_Click() {
    // A fresh editor each time, so that it reads the slots as they are now.
    {
        frmPresets editor(g_, desktop_, this);
        editor.exec();
    }
    if (!mUnloaded) RefreshMenu();
}

}  // namespace sw
