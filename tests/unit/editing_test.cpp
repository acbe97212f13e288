// Dimension edits and their placements, presets, window commands and the main settings.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "dimensionedit.h"
#include "fakedesktop.h"
#include "presets.h"
#include "qtsettings.h"
#include "rulersettings.h"
#include "settings.h"
#include "statebuttons.h"
#include "target.h"

namespace sw {
namespace {

// A window at (21, 21) - (821, 621).
const DimensionLabels kShown{"21", "21", "821", "621", "800", "600"};

TEST(DimensionEdit, EachDimensionFeedsOnePlacement) {
    EXPECT_EQ(DimensionTexts(Rect{-4, -4, 1028, 772}),
              (DimensionLabels{"-4", "-4", "1028", "772", "1032", "776"}));
    EXPECT_EQ(DimensionTexts(Rect{-2147483647 - 1, 0, 2147483647, 0})[kWidth], "4294967295");
    struct Case {
        int index;
        const char* typed;
        Placement placed;
        const char* width;
        const char* height;
    };
    for (const Case& c : {Case{kLeft, "100", {100, 21, 800, 600}, "800", "600"},
                          Case{kTop, "-5", {21, -5, 800, 600}, "800", "600"},
                          Case{kWidth, "640", {21, 21, 640, 600}, "640", "600"},
                          Case{kHeight, "479.5", {21, 21, 800, 480}, "800", "479.5"},
                          // Right recomputes Width in whole numbers; Bottom keeps fractions.
                          Case{kRight, "100.5", {21, 21, 79, 600}, "79", "600"},
                          Case{kBottom, "100.5", {21, 21, 800, 80}, "800", "79.5"},
                          Case{kRight, "0", {21, 21, -21, 600}, "-21", "600"}}) {
        const auto labels = ApplyDimensionEdit(kShown, c.index, c.typed);
        ASSERT_TRUE(labels) << c.index << " " << c.typed;
        EXPECT_EQ((*labels)[c.index], c.typed);
        EXPECT_EQ((*labels)[kWidth], c.width);
        EXPECT_EQ((*labels)[kHeight], c.height);
        EXPECT_EQ(PlacementFromLabels(*labels), c.placed) << c.index;
    }
    EXPECT_EQ((*ApplyDimensionEdit({"-40000", "0", "0", "0", "0", "0"}, kRight, "40000"))[kWidth],
              "80000");
}

TEST(DimensionEdit, RefusesWhatIsNotANumberOrDoesNotFit) {
    for (int index = kLeft; index <= kHeight; ++index) {
        for (const char* text : {"", "abc", "99999999999"}) {
            std::string why;
            EXPECT_FALSE(ApplyDimensionEdit(kShown, index, text, &why)) << index << text;
            EXPECT_FALSE(why.empty());
        }
    }
    std::string why;
    EXPECT_FALSE(
        ApplyDimensionEdit({"-2147483648", "0", "0", "0", "0", "0"}, kRight, "2147483647", &why));
    EXPECT_EQ(why, "Number out of range");
    EXPECT_FALSE(
        ApplyDimensionEdit({"0", "-2147483648", "0", "0", "0", "0"}, kBottom, "2147483647"));
    EXPECT_FALSE(ApplyDimensionEdit({"0", "x", "0", "0", "0", "0"}, kBottom,
                                    "5"));  // an edge beside that is no number
    EXPECT_FALSE(ApplyDimensionEdit({"x", "0", "0", "0", "0", "0"}, kRight, "5"));
    EXPECT_FALSE(ApplyDimensionEdit(kShown, 6, "1"));
    EXPECT_FALSE(ApplyDimensionEdit(kShown, -1, "1"));
    EXPECT_FALSE(PlacementFromLabels({"1", "2", "3", "4", "5", "x"}));
}

TEST(Presets, SlotsCaptionsAndTheEditorsBoxes) {
    EXPECT_TRUE(PresetIsSet(-1, 5));
    EXPECT_FALSE(PresetIsSet(800, 0));
    EXPECT_FALSE(PresetIsSet(0, 600));
    EXPECT_EQ(PresetCaption(1024, -768), "1024x-768");
    PresetTexts texts;
    for (int i = 0; i < kPresetSlots; ++i)
        texts.width[i] = texts.height[i] = std::to_string(i * 10);
    texts.height[0] = "0.0";
    texts.width[3] = "0.4";
    texts.height[9] = " 1.5 ";
    const auto values = std::get<PresetValues>(ReadPresetTexts(texts));
    // Only slot 0 comes back from zero, and only from a numeric zero.
    EXPECT_EQ(values.width[0], 640);
    EXPECT_EQ(values.height[0], 480);
    EXPECT_EQ(values.width[3], 0);
    EXPECT_EQ(values.height[9], 2);
    texts.height[4] = "4x";
    const auto refusal = std::get<PresetRefusal>(ReadPresetTexts(texts));
    EXPECT_EQ(refusal.slot, 4);
    EXPECT_TRUE(refusal.height);
    EXPECT_EQ(refusal.why, "Not a number");
}

TEST(WindowCommands, ButtonsStatesAndTheMinimisedReading) {
    EXPECT_EQ(ShowCommandForOption(0), ShowCommand::Restore);
    EXPECT_FALSE(ShowCommandForOption(3));
    EXPECT_EQ(OptionForState(WindowState::Normal), 0);
    EXPECT_EQ(OptionForState(WindowState::Gone), -1);
    EXPECT_EQ(ShownRect({"", WindowState::Minimised, Rect{10, 20, 170, 48}}),
              (Rect{-32000, -32000, -31840, -31972}));
    EXPECT_EQ(ShownRect({"", WindowState::Maximised, Rect{-4, -4, 9, 9}}), (Rect{-4, -4, 9, 9}));
}

TEST(MainSettings, DefaultsRoundTripsAndTextThatDoesNotFit) {
    fake::FakeDesktop store;
    const MainConfig first = ReadMainConfig(store);
    EXPECT_TRUE(first.showLayout && first.showRuler && !first.hidden);
    EXPECT_EQ(first.presets.width, kDefaultPresetWidth);
    EXPECT_EQ(first.presets.height, kDefaultPresetHeight);
    store.store[{"Sizewise", "Config", "Hidden"}] = "tRuE";
    store.store[{"Sizewise", "Config", "ShowLayout"}] = "yes";
    store.store[{"Sizewise", "Config", "WindowTop"}] = "12.5";
    store.store[{"Sizewise", "Config", "gPresetHeight_2"}] = "99999999999";
    store.store[{"Sizewise", "Other", "Foreign"}] = "kept";
    MainConfig c = ReadMainConfig(store);
    EXPECT_TRUE(c.hidden);
    EXPECT_TRUE(c.showLayout);
    EXPECT_EQ(c.windowTop, 12);
    EXPECT_EQ(c.presets.height[2], 768);
    c.windowLeft = -15;
    c.presets.width[9] = 7;
    c.showRuler = false;
    ASSERT_TRUE(WriteMainConfig(store, c));
    EXPECT_EQ(ReadMainConfig(store), c);
    EXPECT_EQ((store.store[{"Sizewise", "Config", "ShowRuler"}]), "False");
    EXPECT_EQ((store.store[{"Sizewise", "Other", "Foreign"}]), "kept");
    // One refused key is enough for the whole save to be reported as failed.
    for (const SettingKey& key : SettingsTable()) {
        store.refuseKey = key.key;
        EXPECT_TRUE(key.section != kConfigSection || !WriteMainConfig(store, c)) << key.key;
    }
    for (const Axis axis : {Axis::Horizontal, Axis::Vertical}) {
        for (const SettingKey* key :
             {&RulerAcrossSetting(axis), &RulerEdgeSetting(axis), &RulerLengthSetting(axis)}) {
            store.refuseKey = key->key;
            EXPECT_FALSE(WriteRulerConfig(store, axis, StoredRuler{})) << key->key;
        }
    }
}

TEST(MainSettings, TheFileIsReplacedWholeKeepsWhatItDoesNotKnowAndSaysWhenItCannot) {
    QTemporaryDir dir;
    QDir(dir.path()).mkpath("Sizewise");
    QFile file(dir.filePath("Sizewise/Sizewise.conf"));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[Config]\nHidden=true\nPresetWidth_0=1,5\n[Mine]\nForeign=kept\n");
    file.close();
    qt::QtSettingsStore store(dir.path());
    EXPECT_EQ(store.read("Sizewise", "Config", "Hidden", "x"), "true");
    EXPECT_EQ(store.read("Sizewise", "Config", "PresetWidth_0", "x"), "1,5");  // text, not a list
    EXPECT_EQ(store.read("Sizewise", "Config", "Absent", "fallback"), "fallback");
    ASSERT_TRUE(store.write("Sizewise", "Config", "Hidden", "False"));
    ASSERT_TRUE(store.flush());
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QString saved = file.readAll();
    EXPECT_TRUE(saved.contains("Hidden=False") && saved.contains("Foreign=kept"))
        << saved.toStdString();
    // A folder where the file belongs: not saved, and said why.
    QDir(dir.path()).mkpath("Blocked/Sizewise/Sizewise.conf");
    qt::QtSettingsStore blocked(dir.filePath("Blocked"));
    blocked.write("Sizewise", "Config", "Hidden", "True");
    std::string why;
    EXPECT_FALSE(blocked.flush(&why));
    EXPECT_NE(why.find("cannot write"), std::string::npos);
}

TEST(MainSettings, TheTableHoldsEveryKeyInWritingOrder) {
    std::vector<std::string> keys;
    for (const SettingKey& k : SettingsTable())
        keys.push_back(k.section + "/" + k.key + "=" + k.fallback);
    ASSERT_EQ(keys.size(), 32u);
    EXPECT_EQ(keys[5], "Config/gPresetHeight_0=480");
    EXPECT_EQ(keys[28], "RulerConfig/Mode=0");
    EXPECT_THROW(Setting("Config", "Nothing"), std::logic_error);
    // Beyond the screen the far edge lands on the screen's; just inside stays.
    EXPECT_EQ(ClampWindowEdge(20000, 11520, 3000), 8520);
    EXPECT_EQ(ClampWindowEdge(11520, 11520, 3000), 11520);
    EXPECT_EQ(ClampWindowEdge(-1, 11520, 3000), 0);
    EXPECT_EQ(ClampWindowEdge(20000, 11520, 11600), 0);
}

}  // namespace
}  // namespace sw
