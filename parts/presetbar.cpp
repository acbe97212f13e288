// The preset buttons.
#include "presetbar.h"

#include <QToolButton>

#include "nativehandle.h"
#include "target.h"
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

PresetBar::PresetBar(QWidget* window, const Presets& presets, Target& target)
    : QObject(window), presets_(presets), target_(target) {
    QFont tiny = window->font();
    tiny.setPixelSize(textPixels(9));
    for (int i = 0; i < kPresetSlots; ++i) {
        QToolButton* b = buttons_[i] = new QToolButton(window);
        b->setObjectName(QString("presetButton%1").arg(i));
        b->setText(QString::number(i));
        b->setFont(tiny);
        b->setGeometry(
            designRect(kPresetLeft + kPresetStep * i, kPresetTop, kPresetWidth, kPresetHeight));
        connect(b, &QToolButton::clicked, this, [this, i] { apply(i); });
    }
    showSlots();
    connect(&presets, &Presets::changed, this, &PresetBar::showSlots);
}

void PresetBar::showSlots() {
    const PresetValues& values = presets_.values();
    for (int i = 0; i < kPresetSlots; ++i) {
        const bool set = presetIsSet(values.width[i], values.height[i]);
        const QString caption =
            QString::fromStdString(presetCaption(values.width[i], values.height[i]));
        buttons_[i]->setToolTip(set ? kPresetTipPrefix + caption : QString(kNoPresetTip));
        buttons_[i]->setEnabled(set);
    }
}

void PresetBar::apply(int slot) {
    const bool keys = byKeyboard(buttons_[slot]);
    target_.resizeTo(presets_.values().width[slot], presets_.values().height[slot]);
    if (keys) target_.keepForeground(nativeHandle(buttons_[slot]->window()));
}

}  // namespace sw
