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
        // At the first start the main window stands clear of both rulers' title strips: right of
        // the vertical ruler (57 pixels) and below the horizontal one (41), 8 pixels off each.
        {kConfigSection, "WindowTop", "735", SettingKind::Long},
        {kConfigSection, "WindowLeft", "975", SettingKind::Long},
    };
    for (int slot = 0; slot < kPresetSlots; ++slot) {
        const std::string n = std::to_string(slot);
        table.push_back({kConfigSection, "PresetWidth_" + n,
                         formatInteger(kDefaultPresetWidth[slot]), SettingKind::Long});
        table.push_back({kConfigSection, "gPresetHeight_" + n,
                         formatInteger(kDefaultPresetHeight[slot]), SettingKind::Long});
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
                                  // Below the horizontal ruler, 41 pixels thick.
                                  {kVerticalRulerSection, "Top", "615", SettingKind::Long},
                                  {kVerticalRulerSection, "Height", "433", SettingKind::Long},
                                  // The version of the last step the desktop offered (installing
                                  // an extension) that the user answered; 0: none.
                                  {kSetupSection, "Offered", "0", SettingKind::Long},
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

const std::vector<SettingKey>& settingsTable() {
    static const std::vector<SettingKey> table = buildTable();
    return table;
}

const SettingKey& setting(std::string_view section, std::string_view key) {
    const auto& table = settingsTable();
    const auto it = std::find_if(table.begin(), table.end(), [&](const SettingKey& k) {
        return k.section == section && k.key == key;
    });
    if (it == table.end()) throw std::logic_error("unknown setting " + std::string(key));
    return *it;
}

const SettingKey& configSetting(std::string_view key) {
    return setting(kConfigSection, key);
}

const SettingKey& presetWidthSetting(int slot) {
    return configSetting("PresetWidth_" + std::to_string(slot));
}

const SettingKey& presetHeightSetting(int slot) {
    return configSetting("gPresetHeight_" + std::to_string(slot));
}

std::string formatBoolean(bool value) {
    return value ? "True" : "False";
}

bool readBoolean(SettingsStore& store, const SettingKey& key) {
    const std::string text = readText(store, key);
    if (equalsIgnoringCase(text, "True")) return true;
    if (equalsIgnoringCase(text, "False")) return false;
    return equalsIgnoringCase(key.fallback, "True");
}

std::int32_t readInt32(SettingsStore& store, const SettingKey& key) {
    if (const auto value = parseInt32(readText(store, key))) return *value;
    return parseInt32(key.fallback).value_or(0);
}

bool writeBoolean(SettingsStore& store, const SettingKey& key, bool value) {
    return store.write(kAppTitle, key.section, key.key, formatBoolean(value));
}

bool writeInt32(SettingsStore& store, const SettingKey& key, std::int32_t value) {
    return store.write(kAppTitle, key.section, key.key, formatInteger(value));
}

MainSettings readMainSettings(SettingsStore& store) {
    MainSettings c;
    c.showLayout = readBoolean(store, configSetting("ShowLayout"));
    c.hidden = readBoolean(store, configSetting("Hidden"));
    c.windowTop = readInt32(store, configSetting("WindowTop"));
    c.windowLeft = readInt32(store, configSetting("WindowLeft"));
    for (int slot = 0; slot < kPresetSlots; ++slot) {
        c.presets.width[slot] = readInt32(store, presetWidthSetting(slot));
        c.presets.height[slot] = readInt32(store, presetHeightSetting(slot));
    }
    c.showRuler = readBoolean(store, configSetting("ShowRuler"));
    return c;
}

bool writeMainSettings(SettingsStore& store, const MainSettings& c) {
    bool ok = writeBoolean(store, configSetting("ShowLayout"), c.showLayout);
    ok = writeBoolean(store, configSetting("Hidden"), c.hidden) && ok;
    ok = writeInt32(store, configSetting("WindowTop"), c.windowTop) && ok;
    ok = writeInt32(store, configSetting("WindowLeft"), c.windowLeft) && ok;
    for (int slot = 0; slot < kPresetSlots; ++slot) {
        ok = writeInt32(store, presetWidthSetting(slot), c.presets.width[slot]) && ok;
        ok = writeInt32(store, presetHeightSetting(slot), c.presets.height[slot]) && ok;
    }
    return writeBoolean(store, configSetting("ShowRuler"), c.showRuler) && ok;
}

}  // namespace sw
