// Fuzzes every reading of typed numbers: the entry panel's edit (the first byte picks the value,
// the rest is what was typed) and the preset editor's twenty boxes (the input's lines). What is
// read and written reads back the same; what is refused is refused again, for the same reason.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <variant>

#include "check.h"
#include "dimensionedit.h"
#include "numbers.h"
#include "presets.h"

namespace {

void numberReadsBack(std::string_view text) {
    std::string why, whyAgain;
    const auto value = sw::parseInt32(text, &why);
    check(value == sw::parseInt32(text, &whyAgain) && why == whyAgain);
    check(value.has_value() == why.empty());
    if (value) check(sw::parseInt32(sw::formatInteger(*value)) == value);
    if (const auto number = sw::parseNumber(text))
        check(sw::parseNumber(sw::formatNumber(*number)).has_value());
}

void editReadsBack(int index, std::string_view typed) {
    const sw::Rect shown{10, 20, 810, 620};
    const auto which = static_cast<sw::Dimension>(index);
    std::string why;
    const auto placed = sw::placementForEdit(shown, which, typed, &why);
    check(placed.has_value() == why.empty());
    if (!placed) return;
    // The frame it gives, shown and typed again, asks for the same.
    const std::int64_t right = std::int64_t{placed->left} + placed->width;
    const std::int64_t bottom = std::int64_t{placed->top} + placed->height;
    if (right > INT32_MAX || bottom > INT32_MAX) return;
    const sw::Rect frame{placed->left, placed->top, static_cast<std::int32_t>(right),
                         static_cast<std::int32_t>(bottom)};
    const std::string again = sw::formatInteger(sw::dimensionValues(frame)[index]);
    check(sw::placementForEdit(frame, which, again) == placed);
}

void presetsReadBack(std::string_view input) {
    sw::PresetTexts texts;
    for (int box = 0; box < 2 * sw::kPresetSlots && !input.empty(); ++box) {
        const std::size_t end = std::min(input.find('\n'), input.size());
        (box % 2 ? texts.height : texts.width)[box / 2] = std::string(input.substr(0, end));
        input.remove_prefix(std::min(end + 1, input.size()));
    }
    const auto read = sw::readPresetTexts(texts);
    check(read.index() == sw::readPresetTexts(texts).index());
    const auto* values = std::get_if<sw::PresetValues>(&read);
    if (values == nullptr) return;
    sw::PresetTexts written;
    for (int slot = 0; slot < sw::kPresetSlots; ++slot) {
        written.width[slot] = sw::formatInteger(values->width[slot]);
        written.height[slot] = sw::formatInteger(values->height[slot]);
    }
    // By design a slot-0 box that reads as exactly zero becomes 640 or 480, while
    // 0.4 rounds to a 0 that stays: written as "0", that one reads back as 640.
    sw::PresetValues expected = *values;
    if (expected.width[0] == 0) expected.width[0] = sw::kDefaultPresetWidth[0];
    if (expected.height[0] == 0) expected.height[0] = sw::kDefaultPresetHeight[0];
    check(std::get<sw::PresetValues>(sw::readPresetTexts(written)) == expected);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    numberReadsBack(input);
    if (!input.empty()) editReadsBack(static_cast<unsigned char>(input[0]) % 6, input.substr(1));
    presetsReadBack(input);
    return 0;
}
