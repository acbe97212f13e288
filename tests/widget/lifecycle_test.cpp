// The main window's life: the start routine, settings in and out, hiding to the
// notification area and back, the close box, the icon's clicks, and the end.
#include <csignal>

#include <QToolButton>
#include <QWindow>

#include "backend.h"
#include "fixture.h"
#include "singleinstance.h"

namespace sw {
namespace {

using Lifecycle = App;

TEST_F(Lifecycle, TheStartPushesUntitledWindowsBackAtMostTenTimes) {
    const WindowId titled = fake.addWindow("editor", Rect{});
    fake.addWindow("", Rect{});
    fake.setForeground(fake.addWindow("", Rect{}));
    start();
    EXPECT_EQ(app->target().window(), titled);
    EXPECT_EQ(fake.callsNamed("sendForegroundToBack").size(), 2u);
    fake.closeWindow(mainHandle());
    app.reset();
    fake.clearCalls();
    fake.closeWindow(titled);
    fake.closeWindow(target);
    start();
    EXPECT_EQ(fake.callsNamed("sendForegroundToBack").size(), 10u);
}

TEST_F(Lifecycle, SettingsComeInAndGoOutWhole) {
    auto& s = fake.store;
    s[{"Sizewise", "Config", "ShowLayout"}] = "False";
    s[{"Sizewise", "Config", "WindowLeft"}] = "999999";  // beyond the screen
    s[{"Sizewise", "Config", "WindowTop"}] = "-30";
    s[{"Sizewise", "Config", "ShowRuler"}] = "false";
    s[{"Sizewise", "Config", "PresetWidth_1"}] = "0";
    s[{"Sizewise", "RulerConfig", "Mode"}] = "1";
    s[{"Sizewise", "Mine", "Foreign"}] = "kept";
    start();
    EXPECT_EQ(form().pos(), QPoint(1024 - form().width(), 0));
    EXPECT_FALSE(Find<QToolButton>("chkShowLayout")->isChecked());
    EXPECT_FALSE(Find<QToolButton>("chkShowRulers")->isChecked());
    EXPECT_FALSE(Find<QToolButton>("cmdPreset1")->isEnabled());
    EXPECT_FALSE(app->rulers().shown());
    app->Unload(kUnloadCode);
    EXPECT_EQ(ended, 0);
    EXPECT_FALSE(fake.iconAdded);
    EXPECT_EQ(saved("Config", "WindowLeft"), std::to_string((1024 - form().width()) * 15));
    EXPECT_EQ(saved("Config", "WindowTop"), "0");
    EXPECT_EQ(saved("Config", "ShowLayout"), "False");
    EXPECT_EQ(saved("Config", "ShowRuler"), "False");
    EXPECT_EQ(saved("Config", "PresetWidth_1"), "0");
    EXPECT_EQ(saved("RulerConfig", "Mode"),
              "1");  // the rulers were built by no poll, yet their mode stays
    EXPECT_EQ(saved("Mine", "Foreign"), "kept");
    EXPECT_EQ(fake.saved.size(), 27u);
}

TEST_F(Lifecycle, HiddenToTheIconAndBackToTheSamePlace) {
    fake.store[{"Sizewise", "Config", "Hidden"}] = "True";
    fake.store[{"Sizewise", "Config", "WindowLeft"}] = "1500";
    fake.store[{"Sizewise", "Config", "WindowTop"}] = "750";
    start();
    EXPECT_FALSE(form().isVisible());
    fake.iconHandler(TrayClick::Activate);
    EXPECT_TRUE(form().isVisible());
    EXPECT_EQ(form().pos(), QPoint(100, 50));
    // The close box hides; the menu's entry and the icon bring it back.
    closeBox();
    EXPECT_FALSE(form().isVisible());
    MenuEntry("&Show")->trigger();
    EXPECT_TRUE(form().isVisible());
    EXPECT_EQ(ended, -1);
    // With no notification area nothing could bring it back: it is minimised.
    fake.trayHostPresent = false;
    closeBox();
    EXPECT_TRUE(form().isMinimized());
    form().showNormal();
    MenuEntry("&Hide")->trigger();
    app->Unload(kUnloadSession);
    EXPECT_EQ(saved("Config", "Hidden"), "True");
    EXPECT_EQ(saved("Config", "WindowLeft"), "1500");
}

TEST_F(Lifecycle, TheIconsRightClickOpensTheMenuWithExitAndExitSaves) {
    start();
    fake.pointer = Point{300, 200};
    fake.iconHandler(TrayClick::Context);
    auto* menu = Find<QMenu>("mnuPopup");
    EXPECT_TRUE(menu->isVisible());
    EXPECT_EQ(menu->defaultAction()->text(), "E&xit");
    EXPECT_EQ(fake.callsNamed("activateWindow").back(),
              "activateWindow " + std::to_string(mainHandle()));
    menu->defaultAction()->trigger();
    EXPECT_EQ(ended, 0);
    EXPECT_EQ(saved("Config", "Hidden"), "False");
    // A second end does nothing more.
    fake.clearCalls();
    app->Unload(kUnloadTaskManager);
    EXPECT_TRUE(fake.calls.empty());
}

TEST_F(Lifecycle, OneInstanceADisplayAndTheSystemsRequestsToEnd) {
    int shown = 0;
    SingleInstance first("display :4242"), second("display :4242"), elsewhere("display :4243");
    ASSERT_EQ(first.claim([&] { ++shown; }), SingleInstance::Claim::First);
    EXPECT_EQ(elsewhere.claim(nullptr), SingleInstance::Claim::First);
    EXPECT_EQ(second.claim(nullptr), SingleInstance::Claim::HandedOver);
    EXPECT_TRUE(QTest::qWaitFor([&] { return shown == 1; }));
    std::vector<EndRequest> asked;
    installEndRequestHandlers([&](EndRequest request) { asked.push_back(request); });
    ::raise(SIGTERM);
    ::raise(SIGHUP);
    EXPECT_TRUE(QTest::qWaitFor([&] { return asked.size() == 2; }));
    EXPECT_EQ(asked[0], EndRequest::Terminate);
}

TEST_F(Lifecycle, ASettingsFileThatCannotBeWrittenIsSaidSo) {
    start();
    fake.refuseWrites = true;
    testing::internal::CaptureStderr();
    app->Unload(kUnloadCode);
    EXPECT_NE(testing::internal::GetCapturedStderr().find("the settings were not saved"),
              std::string::npos);
    EXPECT_EQ(ended, 0);
    app.reset();
    fake.refuseWrites = false;
    start();
    testing::internal::CaptureStderr();
    app->UnloadWithoutDisplay();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(saved("Config", "ShowRuler"), "True");
}

}  // namespace
}  // namespace sw
