// The ten size presets as plain values: when a slot counts as set, how it is captioned, and what
// the preset editor's boxes give when OK is pressed.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <variant>

namespace sw {

inline constexpr int kPresetSlots = 10;

// The preset sizes of a first run; slots 5 to 9 start empty.
inline constexpr std::array<std::int32_t, kPresetSlots> kDefaultPresetWidth{640, 800, 1024, 1152,
                                                                            1280};
inline constexpr std::array<std::int32_t, kPresetSlots> kDefaultPresetHeight{480, 600, 768, 864,
                                                                             1024};

// A slot is set when both its width and its height are non-zero; negative values count as set
// and are applied as they are.
bool presetIsSet(std::int32_t width, std::int32_t height);

// "1024x768".
std::string presetCaption(std::int32_t width, std::int32_t height);

inline constexpr const char* kNoPresetTip = "No Preset Allocated";
inline constexpr const char* kPresetTipPrefix = "Resize Target Window to ";

struct PresetTexts {
    std::array<std::string, kPresetSlots> width;
    std::array<std::string, kPresetSlots> height;
};

struct PresetValues {
    std::array<std::int32_t, kPresetSlots> width{};
    std::array<std::int32_t, kPresetSlots> height{};
    friend bool operator==(const PresetValues&, const PresetValues&) = default;
};

// The first box that is not a 32-bit number, in the order the boxes are read.
struct PresetRefusal {
    int slot = 0;
    bool height = false;
    std::string why;
};

// The editor's OK: every box must hold a number that rounds into 32 bits (halves to even), else
// nothing is taken. A slot-0 width or height that is exactly zero becomes 640 or 480; 0.4 is not
// zero and rounds to an empty 0.
std::variant<PresetValues, PresetRefusal> readPresetTexts(const PresetTexts& texts);

}  // namespace sw
