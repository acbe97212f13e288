// The program's life: the start, settings in and out, hiding to the notification area and back,
// the close box, the icon's clicks, a second start, the session's end and the end.
#include <atomic>
#include <csignal>
#include <thread>

#include <private/qguiapplication_p.h>
#include <QDialog>
#include <QKeySequenceEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QToolButton>
#include <QWindow>

#include "backend.h"
#include "commandrunner.h"
#include "fixture.h"
#include "shortcuts.h"
#include "singleinstance.h"

namespace sw {
namespace {

using Lifecycle = App;

TEST_F(Lifecycle, TheStartPushesUntitledWindowsBackAtMostTenTimes) {
    const WindowId titled = fake.addWindow("editor", Rect{});
    fake.addWindow("", Rect{});
    fake.setForeground(fake.addWindow("", Rect{}));
    start();
    EXPECT_EQ(title(), "editor");
    EXPECT_EQ(fake.sentBack, 2);
    fake.closeWindow(mainHandle());
    app.reset();
    fake.sentBack = 0;
    fake.closeWindow(titled);
    fake.closeWindow(target);
    start();
    EXPECT_EQ(fake.sentBack, 10);
}

// What the desktop offers (installing Sizewise's extension) is asked once per version, remembered
// whatever the answer, and taken only when accepted; its outcome is told.
TEST_F(Lifecycle, AStepTheDesktopOffersIsAskedOncePerVersion) {
    int taken = 0;
    DesktopOffer::Done finish;
    offer = DesktopOffer{2, "Extension", "Install it?", "Install", [&](DesktopOffer::Done done) {
                             ++taken;
                             finish = std::move(done);
                         }};
    const auto answer = [](QMessageBox::ButtonRole role) {
        auto* box = findWidget<QMessageBox>("offerBox");
        ASSERT_TRUE(box);
        for (QAbstractButton* b : box->buttons()) {
            if (box->buttonRole(b) == role) b->click();
        }
        QApplication::processEvents();
    };
    start();
    answer(QMessageBox::RejectRole);
    EXPECT_EQ(taken, 0);
    EXPECT_EQ(saved("Setup", "Offered"), "2");
    app.reset();
    start();
    EXPECT_EQ(findWidget<QMessageBox>("offerBox"), nullptr);
    app.reset();
    offer->version = 3;
    start();
    answer(QMessageBox::AcceptRole);
    ASSERT_EQ(taken, 1);
    finish(true, "Log out and in again.");
    auto* told = findWidget<QMessageBox>("offerOutcome");
    ASSERT_TRUE(told);
    EXPECT_EQ(told->text(), "Log out and in again.");
    EXPECT_EQ(saved("Setup", "Offered"), "3");
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
    EXPECT_EQ(window().pos(), QPoint(1024 - window().width(), 0));
    EXPECT_FALSE(findWidget<QToolButton>("layoutSwitch")->isChecked());
    EXPECT_FALSE(findWidget<QToolButton>("rulersSwitch")->isChecked());
    EXPECT_FALSE(findWidget<QToolButton>("presetButton1")->isEnabled());
    EXPECT_FALSE(findWidget("horizontalRuler")->isVisible());
    app->quit();
    EXPECT_FALSE(fake.iconAdded);
    EXPECT_EQ(saved("Config", "WindowLeft"), std::to_string((1024 - window().width()) * 15));
    EXPECT_EQ(saved("Config", "WindowTop"), "0");
    EXPECT_EQ(saved("Config", "ShowLayout"), "False");
    EXPECT_EQ(saved("Config", "ShowRuler"), "False");
    EXPECT_EQ(saved("Config", "PresetWidth_1"), "0");
    EXPECT_EQ(saved("RulerConfig", "Mode"), "1");  // the rulers were never shown, yet it stays
    EXPECT_EQ(saved("Mine", "Foreign"), "kept");
    EXPECT_EQ(saved("HorizontalRulerConfig", "Width"), "433");
}

TEST_F(Lifecycle, PlacesAreKeptInTwipsAtEveryResolution) {
    for (const double dpi : {120.0, 144.0}) {
        fake.setScreen({{0, 0, 1024, 768}, dpi, dpi, {}});
        const int twips = static_cast<int>(1440 / dpi);  // a pixel
        fake.store[{"Sizewise", "Config", "WindowLeft"}] = std::to_string(100 * twips);
        fake.store[{"Sizewise", "Config", "WindowTop"}] = std::to_string(50 * twips);
        fake.store[{"Sizewise", "HorizontalRulerConfig", "Left"}] = std::to_string(200 * twips);
        start();
        EXPECT_EQ(window().pos(), QPoint(100, 50)) << dpi;
        EXPECT_EQ(findWidget("horizontalRuler")->x(), 200) << dpi;
        window().move(110, 60);
        app->quit();
        EXPECT_EQ(saved("Config", "WindowLeft"), std::to_string(110 * twips)) << dpi;
        EXPECT_EQ(saved("Config", "WindowTop"), std::to_string(60 * twips)) << dpi;
        EXPECT_EQ(saved("HorizontalRulerConfig", "Left"), std::to_string(200 * twips)) << dpi;
        app.reset();
    }
}

TEST_F(Lifecycle, TheIconHidesAndShowsTheWindowAtItsPlaceAndOpensTheMenuWithExit) {
    fake.store[{"Sizewise", "Config", "Hidden"}] = "True";
    fake.store[{"Sizewise", "Config", "WindowLeft"}] = "1500";
    fake.store[{"Sizewise", "Config", "WindowTop"}] = "750";
    start();
    EXPECT_FALSE(window().isVisible());
    fake.iconHandler(TrayClick::Activate);
    EXPECT_TRUE(window().isVisible());
    EXPECT_EQ(window().pos(), QPoint(100, 50));
    // The close box hides; the menu's entry and the icon bring it back.
    closeBox();
    EXPECT_FALSE(window().isVisible());
    menuEntry("&Show")->trigger();
    EXPECT_TRUE(window().isVisible());
    EXPECT_EQ(ended, -1);
    // With no notification area nothing could bring it back: it is minimised.
    fake.trayHostPresent = false;
    closeBox();
    EXPECT_TRUE(window().isMinimized());
    window().showNormal();
    menuEntry("&Hide")->trigger();
    // Another start on the display brings it back from anywhere.
    app->bringToFront();
    EXPECT_TRUE(window().isVisible());
    EXPECT_EQ(menuEntry("&Hide")->text(), "&Hide");
    // A right click on the icon opens the menu at the pointer, with Exit as its default.
    fake.iconHandler(TrayClick::Context);
    auto* menu = findWidget<QMenu>("popupMenu");
    EXPECT_TRUE(menu->isVisible());
    EXPECT_EQ(fake.foregroundWindow(), mainHandle());
    menu->defaultAction()->trigger();
    EXPECT_EQ(ended, 0);
    EXPECT_EQ(saved("Config", "Hidden"), "False");
    EXPECT_EQ(saved("Config", "WindowLeft"), "1500");
    fake.saved.clear();  // a second end does nothing more
    app->quit();
    EXPECT_TRUE(fake.saved.empty());
}

TEST_F(Lifecycle, TheSplashComesFirstAndTheIconsRightClickClosesIt) {
    start(true);
    QDialog* splash = findWidget<QDialog>("splash");
    ASSERT_TRUE(splash && splash->isVisible());
    EXPECT_FALSE(splash->findChild<QPushButton*>("closeButton"));
    EXPECT_FALSE(window().isVisible());
    // A right click on the icon closes it and opens the menu; the main window comes once the
    // menu has closed, as showing it would close the menu.
    fake.iconHandler(TrayClick::Context);
    QMenu* menu = findWidget<QMenu>("popupMenu");
    EXPECT_TRUE(QTest::qWaitFor([&] { return menu->isVisible() && !findWidget("splash"); }));
    EXPECT_FALSE(window().isVisible());
    menu->hide();
    EXPECT_TRUE(QTest::qWaitFor([&] { return window().isVisible(); }));
    // About shows the same window with Close, one at a time.
    menuEntry("&About")->trigger();
    menuEntry("&About")->trigger();
    const auto abouts = window().findChildren<QDialog*>("aboutWindow");
    ASSERT_EQ(abouts.size(), 1);
    QTest::mouseClick(abouts[0]->findChild<QPushButton*>("closeButton"), Qt::LeftButton);
    EXPECT_FALSE(abouts[0]->isVisible());
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
    // The session's end, as the session manager asks the program to save its data.
    asked.clear();
    QGuiApplicationPrivate::instance()->commitData();
    EXPECT_EQ(asked, std::vector<EndRequest>{EndRequest::SessionEnd});
}

TEST_F(Lifecycle, CommandsHandedOverActOnTheTargetAndAreShownAtOnce) {
    start();
    SingleInstance running("display :4244"), later("display :4244");
    EXPECT_FALSE(later.sendCommand({"get"}));  // nothing runs yet: the command acts alone
    running.claim(nullptr,
                  [this](const auto& args, const auto& answer) { app->runCommand(args, answer); });
    // From another process, here a thread: the running program's target, shown at once.
    std::atomic<bool> answered = false;
    std::optional<Reply> reply;
    std::thread client([&] {
        reply = later.sendCommand({"size", "300", "200"});
        answered = true;
    });
    EXPECT_TRUE(QTest::qWaitFor([&] { return answered.load(); }));
    client.join();
    EXPECT_EQ(reply->status, kDone) << reply->err;
    EXPECT_EQ(frame(), (Rect{21, 21, 321, 221}));
    EXPECT_EQ(value("width"), "300");
    const auto run = [this](const std::vector<std::string>& args) {
        std::optional<Reply> r;
        app->runCommand(args, [&r](const Reply& answer) { r = answer; });
        EXPECT_TRUE(QTest::qWaitFor([&] { return r.has_value(); }));
        return r.value_or(Reply{-1, "", ""});
    };
    EXPECT_NE(run({"get", "--json"}).out.find(R"("title":"Target")"), std::string::npos);
    EXPECT_EQ(run({"preset", "7"}).status, kBadUsage);
    EXPECT_EQ(run({"maximize", "--window", std::to_string(mainHandle())}).status, kNotDone);
    EXPECT_EQ(run({"get", "--window", "0x999"}).status, kNotDone);
    EXPECT_EQ(frame(), (Rect{21, 21, 321, 221}));
    run({"minimize"});
    EXPECT_EQ(fake.window(target)->state, WindowState::Minimised);
    run({"restore"});
    EXPECT_EQ(fake.window(target)->state, WindowState::Normal);
    EXPECT_EQ(run({"rulers", "hide"}).status, kDone);
    EXPECT_FALSE(findWidget("horizontalRuler")->isVisible());
    run({"rulers", "toggle"});
    EXPECT_TRUE(findWidget("horizontalRuler")->isVisible());
    run({"hide"});
    EXPECT_TRUE(window().isHiddenToTray());
    // A window that does not move as asked: said, with where it is, once the time is up.
    const WindowId other = fake.addWindow("Other", Rect{0, 0, 50, 50});
    fake.deferPlacements = true;
    std::optional<Reply> late;
    app->runCommand({"move", "5", "5", "--window", std::to_string(other)},
                    [&late](const Reply& answer) { late = answer; });
    EXPECT_FALSE(late);
    now += CommandRunner::kLandingLimit;
    EXPECT_TRUE(QTest::qWaitFor([&] { return late.has_value(); }));
    EXPECT_EQ(late->status, kNotDone);
    EXPECT_NE(late->err.find("Left 0 Top 0 Right 50"), std::string::npos) << late->err;
}

TEST_F(Lifecycle, ADesktopThatTakesNoShortcutSaysSoOnce) {
    for (char digit = '0'; digit <= '9'; ++digit)
        fake.heldElsewhere.push_back(Shortcut{std::uint32_t(digit), true, true, true});
    testing::internal::CaptureStderr();
    start();
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Sizewise: no global shortcut is available: another program holds it\n");
}

TEST_F(Lifecycle, ShortcutsActOnTheWindowInFrontAndOnesHeldElsewhereAreSaid) {
    const auto ctrlAltShift = [](char key) {
        return Shortcut{std::uint32_t(key), true, true, true};
    };
    fake.heldElsewhere = {ctrlAltShift('2')};
    fake.store[{"Sizewise", "Shortcuts", "Rulers"}] = "Ctrl+Alt+R";
    fake.store[{"Sizewise", "Shortcuts", "Preset3"}] = "Ctrl+Alt+Shift+Nothing";
    testing::internal::CaptureStderr();
    start();
    EXPECT_EQ(testing::internal::GetCapturedStderr(),
              "Sizewise: the shortcut Ctrl+Alt+Shift+2 (Preset 2) is not available: another "
              "program holds it\n");
    EXPECT_EQ(fake.shortcuts[3], Shortcut{});  // unreadable: none
    const WindowId front = fake.addWindow("Front", Rect{0, 0, 100, 100});
    fake.setForeground(front);
    fake.pressShortcut(ctrlAltShift('1'));
    EXPECT_EQ(fake.window(front)->rect, (Rect{0, 0, 800, 600}));
    fake.setForeground(mainHandle());  // one of Sizewise's own: the target instead
    fake.pressShortcut(ctrlAltShift('0'));
    EXPECT_EQ(frame(), (Rect{21, 21, 661, 501}));
    const bool rulers = findWidget("horizontalRuler")->isVisible();
    fake.pressShortcut(Shortcut{'R', true, true});
    EXPECT_NE(findWidget("horizontalRuler")->isVisible(), rulers);
    // The window: a key that cannot be global is pointed out, a usable one taken and kept.
    menuEntry("&Shortcuts...")->trigger();
    auto* edit = findWidget<QKeySequenceEdit>("shortcut9");
    edit->setKeySequence(QKeySequence("A"));
    QTest::keyClick(findWidget("shortcutsWindow"), Qt::Key_Return);
    EXPECT_NE(findWidget<QLabel>("shortcutNote9")->text(), "");
    edit->setKeySequence(QKeySequence(Qt::Key_F9));
    QTest::keyClick(findWidget("shortcutsWindow"), Qt::Key_Return);
    EXPECT_EQ(fake.shortcuts[9], Shortcut{Shortcut::kFunctionKey + 9});
    app->quit();
    EXPECT_TRUE(fake.shortcuts.empty());
    EXPECT_EQ(saved("Shortcuts", "Preset9"), "F9");
    EXPECT_EQ(saved("Shortcuts", "Preset3"), "");
    EXPECT_EQ(saved("Shortcuts", "Preset4"), "Ctrl+Alt+Shift+4");
}

TEST_F(Lifecycle, ASettingsFileThatCannotBeWrittenIsSaidSo) {
    start();
    fake.refuseWrites = true;
    testing::internal::CaptureStderr();
    app->quit();
    EXPECT_NE(testing::internal::GetCapturedStderr().find("the settings were not saved"),
              std::string::npos);
    EXPECT_EQ(ended, 0);
    app.reset();
    fake.refuseWrites = false;
    start();
    testing::internal::CaptureStderr();
    app->quitWithoutDisplay();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(saved("Config", "ShowRuler"), "True");
}

}  // namespace
}  // namespace sw
