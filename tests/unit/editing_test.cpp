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
#include "targetwatcher.h"

namespace sw {
namespace {

// A window at (21, 21) - (821, 621).
const Rect kShown{21, 21, 821, 621};

TEST(DimensionEdit, EachDimensionGivesOnePlacement) {
    EXPECT_EQ(dimensionValues(Rect{-4, -4, 1028, 772}),
              (std::array<std::int64_t, 6>{-4, -4, 1028, 772, 1032, 776}));
    EXPECT_EQ(dimensionValues(Rect{-2147483647 - 1, 0, 2147483647, 0})[4], 4294967295);
    struct Case {
        Dimension which;
        const char* typed;
        Placement placed;
    };
    for (const Case& c : {Case{Dimension::Left, "100", {100, 21, 800, 600}},
                          Case{Dimension::Top, "-5", {21, -5, 800, 600}},
                          Case{Dimension::Width, "640", {21, 21, 640, 600}},
                          Case{Dimension::Height, "479.5", {21, 21, 800, 480}},
                          // Right in whole numbers; Bottom's height rounded as a whole.
                          Case{Dimension::Right, "100.5", {21, 21, 79, 600}},
                          Case{Dimension::Bottom, "100.5", {21, 21, 800, 80}},
                          Case{Dimension::Bottom, "101.5", {21, 21, 800, 80}},
                          Case{Dimension::Right, "0", {21, 21, -21, 600}}}) {
        EXPECT_EQ(placementForEdit(kShown, c.which, c.typed), c.placed) << c.typed;
    }
    EXPECT_EQ(placementForEdit(Rect{-40000, 0, 0, 0}, Dimension::Right, "40000")->width, 80000);
}

TEST(DimensionEdit, RefusesWhatIsNotANumberOrDoesNotFit) {
    for (int i = 0; i < kDimensions; ++i) {
        for (const char* text : {"", "abc", "99999999999"}) {
            std::string why;
            EXPECT_FALSE(placementForEdit(kShown, static_cast<Dimension>(i), text, &why))
                << i << text;
            EXPECT_FALSE(why.empty());
        }
    }
    std::string why;
    const Rect farLeft{-2147483647 - 1, 0, 0, 0};
    EXPECT_FALSE(placementForEdit(farLeft, Dimension::Right, "2147483647", &why));
    EXPECT_EQ(why, "Number out of range");
    why.clear();
    EXPECT_FALSE(
        placementForEdit(Rect{0, INT32_MIN, 0, INT32_MIN}, Dimension::Bottom, "2147483647", &why));
    EXPECT_EQ(why, "Number out of range");
    // A frame wider than 32 bits holds cannot be placed with its width.
    EXPECT_FALSE(placementForEdit(Rect{-2147483647 - 1, 0, 2147483647, 0}, Dimension::Left, "0"));
}

TEST(Presets, SlotsCaptionsAndTheEditorsBoxes) {
    EXPECT_TRUE(presetIsSet(-1, 5));
    EXPECT_FALSE(presetIsSet(800, 0));
    EXPECT_EQ(presetCaption(1024, -768), "1024x-768");
    PresetTexts texts;
    for (int i = 0; i < kPresetSlots; ++i)
        texts.width[i] = texts.height[i] = std::to_string(i * 10);
    texts.height[0] = "0.0";
    texts.width[3] = "0.4";
    texts.height[9] = " 1.5 ";
    const auto values = std::get<PresetValues>(readPresetTexts(texts));
    // Only slot 0 comes back from zero, and only from a numeric zero.
    EXPECT_EQ(values.width[0], 640);
    EXPECT_EQ(values.height[0], 480);
    EXPECT_EQ(values.width[3], 0);
    EXPECT_EQ(values.height[9], 2);
    texts.height[4] = "4x";
    const auto refusal = std::get<PresetRefusal>(readPresetTexts(texts));
    EXPECT_EQ(refusal.slot, 4);
    EXPECT_TRUE(refusal.height);
    EXPECT_EQ(refusal.why, "Not a number");
}

TEST(WindowCommands, ButtonsStatesAndTheMinimisedReading) {
    EXPECT_EQ(showCommandForButton(0), ShowCommand::Restore);
    EXPECT_FALSE(showCommandForButton(3));
    EXPECT_EQ(buttonForState(WindowState::Normal), 0);
    EXPECT_EQ(buttonForState(WindowState::Gone), -1);
    EXPECT_EQ(shownFrame({"", WindowState::Minimised, Rect{10, 20, 170, 48}}),
              (Rect{-32000, -32000, -31840, -31972}));
    EXPECT_EQ(shownFrame({"", WindowState::Maximised, Rect{-4, -4, 9, 9}}), (Rect{-4, -4, 9, 9}));
}

TEST(MainSettings, DefaultsRoundTripsAndTextThatDoesNotFit) {
    fake::FakeDesktop store;
    const MainSettings first = readMainSettings(store);
    EXPECT_TRUE(first.showLayout && first.showRuler && !first.hidden);
    EXPECT_EQ(first.presets.width, kDefaultPresetWidth);
    EXPECT_EQ(first.presets.height, kDefaultPresetHeight);
    store.store[{"Sizewise", "Config", "Hidden"}] = "tRuE";
    store.store[{"Sizewise", "Config", "ShowLayout"}] = "yes";
    store.store[{"Sizewise", "Config", "WindowTop"}] = "12.5";
    store.store[{"Sizewise", "Config", "gPresetHeight_2"}] = "99999999999";
    store.store[{"Sizewise", "Other", "Foreign"}] = "kept";
    MainSettings c = readMainSettings(store);
    EXPECT_TRUE(c.hidden);
    EXPECT_TRUE(c.showLayout);
    EXPECT_EQ(c.windowTop, 12);
    EXPECT_EQ(c.presets.height[2], 768);
    c.windowLeft = -15;
    c.presets.width[9] = 7;
    c.showRuler = false;
    ASSERT_TRUE(writeMainSettings(store, c));
    EXPECT_EQ(readMainSettings(store), c);
    EXPECT_EQ((store.store[{"Sizewise", "Config", "ShowRuler"}]), "False");
    EXPECT_EQ((store.store[{"Sizewise", "Other", "Foreign"}]), "kept");
    // One refused key is enough for the whole save to be reported as failed.
    for (const SettingKey& key : settingsTable()) {
        store.refuseKey = key.key;
        EXPECT_TRUE(key.section != kConfigSection || !writeMainSettings(store, c)) << key.key;
    }
    for (const Axis axis : {Axis::Horizontal, Axis::Vertical}) {
        for (const SettingKey* key :
             {&rulerAcrossSetting(axis), &rulerEdgeSetting(axis), &rulerLengthSetting(axis)}) {
            store.refuseKey = key->key;
            EXPECT_FALSE(writeRulerSettings(store, axis, StoredRuler{})) << key->key;
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

TEST(MainSettings, AKeyOutsideTheTableIsAnError) {
    EXPECT_THROW(setting("Config", "Nothing"), std::logic_error);
}

}  // namespace
}  // namespace sw
