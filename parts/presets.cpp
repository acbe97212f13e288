// Size presets.
#include "presets.h"

#include "numbers.h"

namespace sw {

bool presetIsSet(std::int32_t width, std::int32_t height) {
    return width != 0 && height != 0;
}

std::string presetCaption(std::int32_t width, std::int32_t height) {
    return formatInteger(width) + "x" + formatInteger(height);
}

std::variant<PresetValues, PresetRefusal> readPresetTexts(const PresetTexts& texts) {
    PresetValues values;
    for (int slot = 0; slot < kPresetSlots; ++slot) {
        for (const bool height : {false, true}) {
            const std::string& text = height ? texts.height[slot] : texts.width[slot];
            std::string why;
            const auto value = parseInt32(text, &why);
            if (!value) return PresetRefusal{slot, height, why};
            (height ? values.height : values.width)[slot] = *value;
        }
    }
    // Only slot 0 is corrected, and only when its text is numerically zero.
    if (parseNumber(texts.width[0]).value_or(1) == 0) values.width[0] = kDefaultPresetWidth[0];
    if (parseNumber(texts.height[0]).value_or(1) == 0) values.height[0] = kDefaultPresetHeight[0];
    return values;
}

}  // namespace sw
