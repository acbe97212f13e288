// The settings table and its typed reads and writes.
#include "settings.h"

#include <algorithm>
#include <cctype>
#include <stdexcept>

#include "appinfo.h"
#include "numbers.h"

namespace sw {
namespace {

std::vector<SettingKey> buildTable() {
    std::vector<SettingKey> table{
        {kConfigSection, "ShowLayout", "True", SettingKind::Boolean},
        {kConfigSection, "Hidden", "False", SettingKind::Boolean},
        {kConfigSection, "WindowTop", "0", SettingKind::Long},
        {kConfigSection, "WindowLeft", "0", SettingKind::Long},
    };
    for (int slot = 0; slot < kPresetSlots; ++slot) {
        const std::string n = std::to_string(slot);
        table.push_back({kConfigSection, "PresetWidth_" + n, FormatLong(kDefaultPresetWidth[slot]),
                         SettingKind::Long});
        table.push_back({kConfigSection, "gPresetHeight_" + n,
                         FormatLong(kDefaultPresetHeight[slot]), SettingKind::Long});
    }
    table.push_back({kConfigSection, "ShowRuler", "True", SettingKind::Boolean});
    // Edges are twips and lengths pixels; the horizontal ruler is unloaded, and
    // writes, before the vertical one.
    table.insert(table.end(), {
                                  {kHorizontalRulerSection, "Top", "0", SettingKind::Long},
                                  {kHorizontalRulerSection, "Left", "0", SettingKind::Long},
                                  {kHorizontalRulerSection, "Width", "433", SettingKind::Long},
                                  {kRulerSection, "Mode", "0", SettingKind::Long},
                                  {kVerticalRulerSection, "Left", "0", SettingKind::Long},
                                  {kVerticalRulerSection, "Top", "0", SettingKind::Long},
                                  {kVerticalRulerSection, "Height", "433", SettingKind::Long},
                              });
    return table;
}

bool equalsIgnoringCase(std::string_view a, std::string_view b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) ==
                      std::tolower(static_cast<unsigned char>(y));
           });
}

std::string readText(SettingsStore& store, const SettingKey& key) {
    return store.read(kAppTitle, key.section, key.key, key.fallback);
}

}  // namespace

const std::vector<SettingKey>& SettingsTable() {
    static const std::vector<SettingKey> table = buildTable();
    return table;
}

const SettingKey& Setting(std::string_view section, std::string_view key) {
    const auto& table = SettingsTable();
    const auto it = std::find_if(table.begin(), table.end(), [&](const SettingKey& k) {
        return k.section == section && k.key == key;
    });
    if (it == table.end()) throw std::logic_error("unknown setting " + std::string(key));
    return *it;
}

const SettingKey& ConfigSetting(std::string_view key) {
    return Setting(kConfigSection, key);
}

const SettingKey& PresetWidthSetting(int slot) {
    return ConfigSetting("PresetWidth_" + std::to_string(slot));
}

const SettingKey& PresetHeightSetting(int slot) {
    return ConfigSetting("gPresetHeight_" + std::to_string(slot));
}

std::string FormatBoolean(bool value) {
    return value ? "True" : "False";
}

bool ReadBoolean(SettingsStore& store, const SettingKey& key) {
    const std::string text = readText(store, key);
    if (equalsIgnoringCase(text, "True")) return true;
    if (equalsIgnoringCase(text, "False")) return false;
    return equalsIgnoringCase(key.fallback, "True");
}

std::int32_t ReadLong(SettingsStore& store, const SettingKey& key) {
    if (const auto value = ToLong(readText(store, key))) return *value;
    return ToLong(key.fallback).value_or(0);
}

bool WriteBoolean(SettingsStore& store, const SettingKey& key, bool value) {
    return store.write(kAppTitle, key.section, key.key, FormatBoolean(value));
}

bool WriteLong(SettingsStore& store, const SettingKey& key, std::int32_t value) {
    return store.write(kAppTitle, key.section, key.key, FormatLong(value));
}

MainConfig ReadMainConfig(SettingsStore& store) {
    MainConfig c;
    c.showLayout = ReadBoolean(store, ConfigSetting("ShowLayout"));
    c.hidden = ReadBoolean(store, ConfigSetting("Hidden"));
    c.windowTop = ReadLong(store, ConfigSetting("WindowTop"));
    c.windowLeft = ReadLong(store, ConfigSetting("WindowLeft"));
    for (int slot = 0; slot < kPresetSlots; ++slot) {
        c.presets.width[slot] = ReadLong(store, PresetWidthSetting(slot));
        c.presets.height[slot] = ReadLong(store, PresetHeightSetting(slot));
    }
    c.showRuler = ReadBoolean(store, ConfigSetting("ShowRuler"));
    return c;
}

bool WriteMainConfig(SettingsStore& store, const MainConfig& c) {
    bool ok = WriteBoolean(store, ConfigSetting("ShowLayout"), c.showLayout);
    ok = WriteBoolean(store, ConfigSetting("Hidden"), c.hidden) && ok;
    ok = WriteLong(store, ConfigSetting("WindowTop"), c.windowTop) && ok;
    ok = WriteLong(store, ConfigSetting("WindowLeft"), c.windowLeft) && ok;
    for (int slot = 0; slot < kPresetSlots; ++slot) {
        ok = WriteLong(store, PresetWidthSetting(slot), c.presets.width[slot]) && ok;
        ok = WriteLong(store, PresetHeightSetting(slot), c.presets.height[slot]) && ok;
    }
    return WriteBoolean(store, ConfigSetting("ShowRuler"), c.showRuler) && ok;
}

std::int32_t ClampWindowEdge(std::int32_t saved, double screenTwips, double windowTwips) {
    double edge = saved;
    if (edge > screenTwips) edge = RoundHalfEven(screenTwips - windowTwips);
    if (edge < 0) edge = 0;
    return static_cast<std::int32_t>(edge);
}

}  // namespace sw
