// Every setting the program keeps, in one table of key, section, default and
// kind, and typed reads and writes of them through the settings store. A stored
// value that does not fit its kind reads as the key's default.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "desktop.h"
#include "presets.h"

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
// What the user answered to what the desktop offered.
inline constexpr const char* kSetupSection = "Setup";

// Every key, section by section, each section in the order it is written.
const std::vector<SettingKey>& settingsTable();

// The table's entry for a key; the program asks only for keys it knows.
const SettingKey& setting(std::string_view section, std::string_view key);
const SettingKey& configSetting(std::string_view key);
// "PresetWidth_<slot>" and "gPresetHeight_<slot>": stored files hold the
// height keys with this lower-case g, so it stays.
const SettingKey& presetWidthSetting(int slot);
const SettingKey& presetHeightSetting(int slot);

// Booleans are stored as "True" and "False" and read back in any letter case.
std::string formatBoolean(bool value);

// Typed reads: text of the wrong kind (not a number, a number beyond 32 bits,
// not True or False) gives the key's default.
bool readBoolean(SettingsStore& store, const SettingKey& key);
std::int32_t readInt32(SettingsStore& store, const SettingKey& key);

// Typed writes; false when the store refused the value.
bool writeBoolean(SettingsStore& store, const SettingKey& key, bool value);
bool writeInt32(SettingsStore& store, const SettingKey& key, std::int32_t value);

// The main window's section: read once while the program starts, written once
// when it ends; between the two the values live in the parts.
struct MainSettings {
    bool showLayout = true;
    bool hidden = false;
    std::int32_t windowTop = 0;  // twips
    std::int32_t windowLeft = 0;
    PresetValues presets;
    bool showRuler = true;
    friend bool operator==(const MainSettings&, const MainSettings&) = default;
};

MainSettings readMainSettings(SettingsStore& store);
// In the table's order; false when the store refused a value.
bool writeMainSettings(SettingsStore& store, const MainSettings& config);

// Twips are 1/1440 inch: the unit the stored places are kept in.
inline double twipsPerPixelX(const ScreenMetrics& screen) {
    return 1440.0 / screen.dpiX;
}
inline double twipsPerPixelY(const ScreenMetrics& screen) {
    return 1440.0 / screen.dpiY;
}

}  // namespace sw
