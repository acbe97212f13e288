// Every setting the program keeps, in one table of key, section, default and
// kind, and typed reads and writes of them through the settings store. A stored
// value that does not fit its kind reads as the key's default.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/desktop.h"

namespace sw {

enum class SettingKind { Boolean, Long };

struct SettingKey {
    std::string section;
    std::string key;
    std::string fallback;  // default, as stored text
    SettingKind kind;
};

inline constexpr const char* kConfigSection = "Config";
// The rulers' places and lengths, and their shared scale mode.
inline constexpr const char* kHorizontalRulerSection = "HorizontalRulerConfig";
inline constexpr const char* kVerticalRulerSection = "VerticalRulerConfig";
inline constexpr const char* kRulerSection = "RulerConfig";
inline constexpr int kPresetSlots = 10;

// The preset sizes of a first run; slots 5 to 9 start empty.
inline constexpr std::array<std::int32_t, kPresetSlots> kDefaultPresetWidth{640, 800, 1024, 1152, 1280};
inline constexpr std::array<std::int32_t, kPresetSlots> kDefaultPresetHeight{480, 600, 768, 864, 1024};

// Every key, section by section, each section in the order it is written.
const std::vector<SettingKey>& SettingsTable();

// The table's entry for a key; the program asks only for keys it knows.
const SettingKey& Setting(std::string_view section, std::string_view key);
const SettingKey& ConfigSetting(std::string_view key);
// "PresetWidth_<slot>" and "gPresetHeight_<slot>": stored files hold the
// height keys with this lower-case g, so it stays.
const SettingKey& PresetWidthSetting(int slot);
const SettingKey& PresetHeightSetting(int slot);

// Booleans are stored as "True" and "False" and read back in any letter case.
std::string FormatBoolean(bool value);

// Typed reads: text of the wrong kind (not a number, a number beyond 32 bits,
// not True or False) gives the key's default.
bool ReadBoolean(SettingsStore& store, const SettingKey& key);
std::int32_t ReadLong(SettingsStore& store, const SettingKey& key);

// Typed writes; false when the store refused the value.
bool WriteBoolean(SettingsStore& store, const SettingKey& key, bool value);
bool WriteLong(SettingsStore& store, const SettingKey& key, std::int32_t value);

}  // namespace sw
