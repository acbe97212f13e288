// The preset slots.
#include "presetslots.h"

namespace sw {

void Presets::setValues(const PresetValues& values) {
    if (values == values_) return;
    values_ = values;
    emit changed();
}

}  // namespace sw
