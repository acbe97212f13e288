// The main window's settings across a restart: first-run defaults, clamps, a
// hidden start, values that are not what they should be, the real INI file, and
// saving when the display has gone.
#include <QAction>
#include <QDir>
#include <QFile>
#include <QSettings>
#include <QTemporaryDir>
#include <QToolButton>

#include "fixture.h"
#include "platform/qt/qtsettings.h"

namespace sw {
namespace {

class SettingsTest : public FormTest {
protected:
    // Ends the current main window (saving its settings) and loads a new one
    // from what was saved, as a restart does.
    void restart(std::map<std::string, std::string> stored = {}) {
        for (const auto& [key, value] : stored) fake.store[{"Sizewise", "Config", key}] = value;
        form.reset();
        form = std::make_unique<Form1>(g, desktop, [this](int status) { endStatus = status; });
        form->tmrCheckActiveWindow->stop();
        form->Form_Load();
        if (!form->mHidden) form->show();
    }
};

TEST_F(SettingsTest, TheFirstSaveWritesEveryKeyInOrderThenTheRulersAndFlushesOnce) {
    form->move(30, 45);
    QApplication::processEvents();
    fake.clearCalls();
    form->mnuExit->trigger();
    const auto writes = fake.callsNamed("write");
    ASSERT_EQ(writes.size(), 32u);
    EXPECT_EQ(writes[0], "write Config/ShowLayout=True");
    EXPECT_EQ(writes[1], "write Config/Hidden=False");
    EXPECT_EQ(writes[2], "write Config/WindowTop=675");
    EXPECT_EQ(writes[3], "write Config/WindowLeft=450");
    EXPECT_EQ(writes[4], "write Config/PresetWidth_0=640");
    EXPECT_EQ(writes[5], "write Config/gPresetHeight_0=480");
    EXPECT_EQ(writes[22], "write Config/PresetWidth_9=0");
    EXPECT_EQ(writes[24], "write Config/ShowRuler=True");
    // First run: both rulers at the top-left corner, 433 pixels long, relative.
    EXPECT_EQ(writes[25], "write HorizontalRulerConfig/Top=0");
    EXPECT_EQ(writes[26], "write HorizontalRulerConfig/Left=0");
    EXPECT_EQ(writes[27], "write HorizontalRulerConfig/Width=433");
    EXPECT_EQ(writes[28], "write RulerConfig/Mode=0");
    EXPECT_EQ(writes[29], "write VerticalRulerConfig/Left=0");
    EXPECT_EQ(writes[30], "write VerticalRulerConfig/Top=0");
    EXPECT_EQ(writes[31], "write VerticalRulerConfig/Height=433");
    EXPECT_EQ(fake.calls.back(), "iconRemove");
    EXPECT_EQ(fake.callsNamed("flush").size(), 1u);
    EXPECT_EQ(saved("gPresetHeight_4"), "1024");
}

TEST_F(SettingsTest, EverythingComesBackAfterARestart) {
    form->mnuOptionsShowLayout->trigger();
    g.gPresetWidth[6] = 333;
    g.gPresetHeight[6] = 222;
    form->move(60, 75);
    QApplication::processEvents();
    form->mnuExit->trigger();
    g = Module1{};
    restart();
    EXPECT_FALSE(form->mnuOptionsShowLayout->isChecked());
    EXPECT_FALSE(form->chkShowLayout->isChecked());
    EXPECT_EQ(form->height(), 86);
    EXPECT_EQ(form->pos(), QPoint(60, 75));
    EXPECT_EQ(g.gPresetWidth[6], 333);
    EXPECT_EQ(g.gPresetHeight[6], 222);
    EXPECT_EQ(form->mnuPreset[6]->text(), "333x222");
}

TEST_F(SettingsTest, ASavedPositionOffTheScreenComesBack) {
    // The screen is 1024 x 768 pixels: 15360 x 11520 twips.
    restart({{"WindowTop", "20000"}, {"WindowLeft", "-45"}});
    EXPECT_EQ(form->mWindowTop, 11520 - 3750);  // the height as designed, before DrawForm
    EXPECT_EQ(form->mWindowLeft, 0);
    restart({{"WindowTop", "11519"}, {"WindowLeft", "15361"}});
    EXPECT_EQ(form->mWindowTop, 11519);
    EXPECT_EQ(form->mWindowLeft, 15360 - 3645);
}

TEST_F(SettingsTest, AHiddenStartKeepsTheSavedPlaceForTheNextSave) {
    restart({{"Hidden", "true"}, {"WindowTop", "1500"}, {"WindowLeft", "3000"}});
    EXPECT_TRUE(form->mHidden);
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(form->mnuHide->text(), "&Show");
    form->mnuExit->trigger();
    EXPECT_EQ(saved("Hidden"), "True");
    EXPECT_EQ(saved("WindowTop"), "1500");
    EXPECT_EQ(saved("WindowLeft"), "3000");

    restart();
    fake.iconHandler(NotifyIcon::kLeftButtonDown);
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(form->pos(), QPoint(200, 100));
}

TEST_F(SettingsTest, ValuesThatAreNotWhatTheyShouldBeReadAsDefaultsAndAreWrittenSound) {
    restart({{"ShowLayout", "maybe"}, {"Hidden", "1"}, {"WindowLeft", "12abc"}, {"PresetWidth_1", ""},
             {"gPresetHeight_2", "1e12"}, {"ShowRuler", "nope"}});
    EXPECT_TRUE(form->mnuOptionsShowLayout->isChecked());
    EXPECT_FALSE(form->mHidden);
    EXPECT_TRUE(form->isVisible());
    form->mnuExit->trigger();
    EXPECT_EQ(saved("ShowLayout"), "True");
    EXPECT_EQ(saved("Hidden"), "False");
    EXPECT_EQ(saved("PresetWidth_1"), "800");
    EXPECT_EQ(saved("gPresetHeight_2"), "768");
    EXPECT_EQ(saved("ShowRuler"), "True");
}

TEST_F(SettingsTest, WithTheDisplayGoneTheSettingsAreSavedAndNoWindowIsTouched) {
    form->move(15, 30);
    QApplication::processEvents();
    fake.clearCalls();
    form->UnloadWithoutDisplay();
    EXPECT_TRUE(form->isUnloaded());
    EXPECT_EQ(saved("WindowLeft"), "225");
    EXPECT_EQ(saved("WindowTop"), "450");
    // Only the store was asked: no icon, no window, no screen.
    for (const std::string& call : fake.calls) {
        EXPECT_TRUE(call.rfind("write ", 0) == 0 || call == "flush") << call;
    }
    EXPECT_TRUE(form->isVisible());
    form->UnloadWithoutDisplay();
    EXPECT_EQ(fake.callsNamed("flush").size(), 1u);
}

TEST_F(SettingsTest, WithoutANotificationAreaTheCloseBoxMinimises) {
    fake.trayHostPresent = false;
    form->Unload(Form1::kUnloadControlMenu);
    EXPECT_FALSE(form->mHidden);
    EXPECT_TRUE(form->isMinimized());
    fake.trayHostPresent = true;
    form->BringToFront();
    EXPECT_FALSE(form->isMinimized());
    form->Unload(Form1::kUnloadControlMenu);
    EXPECT_TRUE(form->mHidden);
    // A second instance brings a hidden window back.
    form->BringToFront();
    EXPECT_FALSE(form->mHidden);
    EXPECT_TRUE(form->isVisible());
}

TEST(SettingsFile, UnknownKeysStayAndGarbageIsReplaced) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString path = dir.path() + "/Sizewise/Sizewise.conf";
    QDir().mkpath(dir.path() + "/Sizewise");
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write("[Config]\nShowLayout=banana\nWindowTop=7x\nFavourite=blue\n\x01\x02 junk line\n"
               "[Elsewhere]\nkept=yes\n");
    file.close();

    qt::QtSettingsStore store(dir.path());
    EXPECT_EQ(store.fileFor("Sizewise"), path);
    EXPECT_TRUE(ReadBoolean(store, ConfigSetting("ShowLayout")));
    EXPECT_EQ(ReadLong(store, ConfigSetting("WindowTop")), 0);
    for (const SettingKey& key : SettingsTable()) {
        if (key.kind == SettingKind::Boolean) WriteBoolean(store, key, ReadBoolean(store, key));
        else WriteLong(store, key, ReadLong(store, key));
    }
    std::string why;
    ASSERT_TRUE(store.flush(&why)) << why;

    QSettings back(path, QSettings::IniFormat);
    EXPECT_EQ(back.value("Config/ShowLayout").toString(), "True");
    EXPECT_EQ(back.value("Config/WindowTop").toString(), "0");
    EXPECT_EQ(back.value("Config/gPresetHeight_3").toString(), "864");
    EXPECT_EQ(back.value("Config/Favourite").toString(), "blue");
    EXPECT_EQ(back.value("Elsewhere/kept").toString(), "yes");
    back.beginGroup("Config");
    EXPECT_EQ(back.childKeys().size(), 26);
    // The file was replaced whole: nothing is left beside it.
    EXPECT_EQ(QDir(dir.path() + "/Sizewise").entryList(QDir::Files), QStringList{"Sizewise.conf"});
}

}  // namespace
}  // namespace sw
