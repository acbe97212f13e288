// Fuzzes every reading of typed numbers: the entry panel's edit (the first byte
// picks the value, the rest is what was typed) and the preset editor's twenty
// boxes (the input's lines). What is read and written reads back the same; what
// is refused is refused again, for the same reason.
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
    const auto value = sw::ToLong(text, &why);
    check(value == sw::ToLong(text, &whyAgain) && why == whyAgain);
    check(value.has_value() == why.empty());
    if (value) check(sw::ToLong(sw::FormatLong(*value)) == value);
    if (const auto number = sw::ParseNumber(text))
        check(sw::ParseNumber(sw::FormatNumber(*number)).has_value());
}

void editReadsBack(int index, std::string_view typed) {
    const sw::DimensionLabels shown = sw::DimensionTexts(sw::Rect{10, 20, 810, 620});
    const auto edited = sw::ApplyDimensionEdit(shown, index, typed);
    if (!edited) return;
    check(sw::PlacementFromLabels(*edited).has_value());
    check(sw::ApplyDimensionEdit(*edited, index, (*edited)[index]) == edited);
}

void presetsReadBack(std::string_view input) {
    sw::PresetTexts texts;
    for (int box = 0; box < 2 * sw::kPresetSlots && !input.empty(); ++box) {
        const std::size_t end = std::min(input.find('\n'), input.size());
        (box % 2 ? texts.height : texts.width)[box / 2] = std::string(input.substr(0, end));
        input.remove_prefix(std::min(end + 1, input.size()));
    }
    const auto read = sw::ReadPresetTexts(texts);
    check(read.index() == sw::ReadPresetTexts(texts).index());
    const auto* values = std::get_if<sw::PresetValues>(&read);
    if (values == nullptr) return;
    sw::PresetTexts written;
    for (int slot = 0; slot < sw::kPresetSlots; ++slot) {
        written.width[slot] = sw::FormatLong(values->width[slot]);
        written.height[slot] = sw::FormatLong(values->height[slot]);
    }
    // By design a slot-0 box that reads as exactly zero becomes 640 or 480, while
    // 0.4 rounds to a 0 that stays: written as "0", that one reads back as 640.
    sw::PresetValues expected = *values;
    if (expected.width[0] == 0) expected.width[0] = sw::kDefaultPresetWidth[0];
    if (expected.height[0] == 0) expected.height[0] = sw::kDefaultPresetHeight[0];
    check(std::get<sw::PresetValues>(sw::ReadPresetTexts(written)) == expected);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    numberReadsBack(input);
    if (!input.empty()) editReadsBack(static_cast<unsigned char>(input[0]) % 6, input.substr(1));
    presetsReadBack(input);
    return 0;
}
