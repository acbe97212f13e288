// The plain logic beside the main window's forms: the layout view's mapping,
// the preset editor's reading of its boxes, and the typed settings table.
#include <gtest/gtest.h>

#include <map>
#include <variant>

#include "control/presets.h"
#include "control/settings.h"
#include "mainwindow/layoutview.h"

namespace sw {
namespace {

ViewScale screen1024(double viewWidth = 1545, double viewHeight = 1159) {
    return MakeViewScale(ScreenMetrics{1024, 768, 15, 15}, viewWidth, viewHeight);
}

TEST(LayoutView, AMaximisedTargetOverhangsTheViewByItsBorder) {
    EXPECT_EQ(ScreenToView(Rect{-4, -4, 1028, 772}, screen1024()), (ViewRect{-6, -6, 1557, 1171}));
}

TEST(LayoutView, ScreenToViewRoundsHalvesToEven) {
    // 1000 pixels on a 1500-unit view: 1 -> 1.5 -> 2, 3 -> 4.5 -> 4, 5 -> 7.5 -> 8.
    const ViewScale s = MakeViewScale(ScreenMetrics{1000, 1000, 15, 15}, 1500, 1500);
    EXPECT_EQ(ScreenToView(Rect{1, 3, 6, 8}, s), (ViewRect{2, 4, 8, 8}));
}

TEST(LayoutView, ViewToScreenRoundsTowardsMinusInfinity) {
    EXPECT_EQ(ViewToScreen(10, 0, screen1024()).x, 6);
    EXPECT_EQ(ViewToScreen(-1, 0, screen1024()).x, -1);
    EXPECT_EQ(ViewToScreen(0, -1, screen1024()).y, -1);
    // Far off the view the target follows to far off the screen, pinned to 32 bits.
    EXPECT_EQ(ViewToScreen(1e12, 0, screen1024()).x, INT32_MAX);
}

TEST(LayoutView, TheViewTakesTheScreensProportions) {
    EXPECT_DOUBLE_EQ(ViewHeightFor(ScreenMetrics{1024, 768, 15, 15}, 1575), 1181.25);
    EXPECT_DOUBLE_EQ(ViewHeightFor(ScreenMetrics{0, 768, 15, 15}, 1575), 0);
}

PresetTexts defaultTexts() {
    PresetTexts t;
    for (int i = 0; i < kPresetSlots; ++i) {
        t.width[i] = std::to_string(kDefaultPresetWidth[i]);
        t.height[i] = std::to_string(kDefaultPresetHeight[i]);
    }
    return t;
}

TEST(PresetEditor, OnlySlotZeroIsCorrectedAndOnlyWhenExactlyZero) {
    PresetTexts t = defaultTexts();
    t.width[0] = "0";
    t.height[0] = " 0.0 ";
    t.width[3] = "0";
    t.height[4] = "-20";
    auto v = std::get<PresetValues>(ReadPresetTexts(t));
    EXPECT_EQ(v.width[0], 640);
    EXPECT_EQ(v.height[0], 480);
    EXPECT_EQ(v.width[3], 0);
    EXPECT_EQ(v.height[4], -20);

    t.width[0] = "0.4";  // not zero, so not corrected; it rounds to an empty slot
    t.height[0] = "2.5";
    v = std::get<PresetValues>(ReadPresetTexts(t));
    EXPECT_EQ(v.width[0], 0);
    EXPECT_EQ(v.height[0], 2);
}

TEST(PresetEditor, TheFirstBoxThatIsNotANumberRefusesAll) {
    struct Case {
        int slot;
        bool height;
        const char* text;
        const char* why;
    };
    for (const Case& c : {Case{2, true, "abc", "Not a number"}, Case{0, false, "", "Type a number"},
                          Case{9, false, "3000000000", "Number out of range"}}) {
        PresetTexts t = defaultTexts();
        (c.height ? t.height : t.width)[c.slot] = c.text;
        t.width[9] = c.slot == 9 ? c.text : "x";  // a later bad box is not the one named
        const auto result = ReadPresetTexts(t);
        ASSERT_TRUE(std::holds_alternative<PresetRefusal>(result)) << c.text;
        const auto& r = std::get<PresetRefusal>(result);
        EXPECT_EQ(r.slot, c.slot) << c.text;
        EXPECT_EQ(r.height, c.height) << c.text;
        EXPECT_EQ(r.why, c.why) << c.text;
    }
}

// A settings store that answers from a map, for the typed reads.
class MapStore final : public SettingsStore {
public:
    std::map<std::string, std::string> values;
    std::string read(const std::string&, const std::string&, const std::string& key,
                     const std::string& fallback) override {
        const auto it = values.find(key);
        return it == values.end() ? fallback : it->second;
    }
    bool write(const std::string&, const std::string&, const std::string& key, const std::string& value) override {
        values[key] = value;
        return true;
    }
    bool flush(std::string*) override { return true; }
};

TEST(SettingsTable, ConfigHoldsTheTwentyFiveKeysInTheOrderTheyAreWritten) {
    std::vector<std::string> keys;
    for (const SettingKey& k : SettingsTable()) {
        if (k.section == kConfigSection) keys.push_back(k.key);
    }
    ASSERT_EQ(keys.size(), 25u);
    EXPECT_EQ(keys[0], "ShowLayout");
    EXPECT_EQ(keys[1], "Hidden");
    EXPECT_EQ(keys[2], "WindowTop");
    EXPECT_EQ(keys[3], "WindowLeft");
    EXPECT_EQ(keys[4], "PresetWidth_0");
    EXPECT_EQ(keys[5], "gPresetHeight_0");
    EXPECT_EQ(keys[23], "gPresetHeight_9");
    EXPECT_EQ(keys[24], "ShowRuler");
    EXPECT_EQ(PresetWidthSetting(4).fallback, "1280");
    EXPECT_EQ(PresetHeightSetting(4).fallback, "1024");
    EXPECT_EQ(PresetHeightSetting(5).fallback, "0");
}

TEST(SettingsTable, TextOfTheWrongKindReadsAsTheDefault) {
    MapStore store;
    store.values = {{"ShowLayout", "fALSe"}, {"Hidden", "yes"}, {"WindowTop", "12abc"},
                    {"WindowLeft", "-300"}, {"PresetWidth_1", ""}, {"gPresetHeight_1", "99999999999"},
                    {"PresetWidth_2", " 17 "}, {"ShowRuler", "TRUE"}};
    EXPECT_FALSE(ReadBoolean(store, ConfigSetting("ShowLayout")));
    EXPECT_FALSE(ReadBoolean(store, ConfigSetting("Hidden")));
    EXPECT_TRUE(ReadBoolean(store, ConfigSetting("ShowRuler")));
    EXPECT_EQ(ReadLong(store, ConfigSetting("WindowTop")), 0);
    EXPECT_EQ(ReadLong(store, ConfigSetting("WindowLeft")), -300);
    EXPECT_EQ(ReadLong(store, PresetWidthSetting(1)), 800);
    EXPECT_EQ(ReadLong(store, PresetHeightSetting(1)), 600);
    EXPECT_EQ(ReadLong(store, PresetWidthSetting(2)), 17);
    EXPECT_EQ(ReadLong(store, PresetWidthSetting(3)), 1152);  // absent

    WriteLong(store, PresetWidthSetting(2), -5);
    WriteBoolean(store, ConfigSetting("Hidden"), true);
    EXPECT_EQ(store.values["PresetWidth_2"], "-5");
    EXPECT_EQ(store.values["Hidden"], "True");
}

}  // namespace
}  // namespace sw
