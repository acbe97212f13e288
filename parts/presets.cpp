// Size presets as plain values.
#include "presets.h"

#include "numbers.h"

namespace sw {

bool PresetIsSet(std::int32_t width, std::int32_t height) {
    return width != 0 && height != 0;
}

std::string PresetCaption(std::int32_t width, std::int32_t height) {
    return FormatLong(width) + "x" + FormatLong(height);
}

std::variant<PresetValues, PresetRefusal> ReadPresetTexts(const PresetTexts& texts) {
    PresetValues values;
    for (int slot = 0; slot < kPresetSlots; ++slot) {
        for (const bool height : {false, true}) {
            const std::string& text = height ? texts.height[slot] : texts.width[slot];
            std::string why;
            const auto value = ToLong(text, &why);
            if (!value) return PresetRefusal{slot, height, why};
            (height ? values.height : values.width)[slot] = *value;
        }
    }
    // Only slot 0 is corrected, and only when its text is numerically zero.
    if (ParseNumber(texts.width[0]).value_or(1) == 0) values.width[0] = kDefaultPresetWidth[0];
    if (ParseNumber(texts.height[0]).value_or(1) == 0) values.height[0] = kDefaultPresetHeight[0];
    return values;
}

}  // namespace sw
