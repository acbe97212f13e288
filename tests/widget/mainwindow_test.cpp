// The main window on the fake desktop: the monitor, the entry panel, commands, presets, the view.
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>

#include "fixture.h"
#include "glyphs.h"

namespace sw {
namespace {

using MainWindow = App;

TEST_F(MainWindow, ShowsTheForegroundWindowNeverItsOwnOrAnUntitledOne) {
    start();
    EXPECT_EQ(values(), "0000 0000 0000 0000 0000 0000");
    fake.setForeground(0);  // passed through on a focus change: the start's target stays
    poll();
    EXPECT_EQ(app->target().window(), target);
    EXPECT_EQ(Find<QLabel>("lblWindowText")->text(), "Target");
    EXPECT_EQ(values(), "21 21 821 621 800 600");
    EXPECT_EQ(fake.iconTip, "WATCHING WINDOW: Target");
    // The program's own window leaves the target; a change to it still shows.
    fake.setForeground(mainHandle());
    fake.window(target)->rect = Rect{-4, -4, 1028, 772};
    poll();
    EXPECT_EQ(values(), "-4 -4 1028 772 1032 776");
    // Untitled windows (the desktop, a panel) never replace a target once seen.
    fake.setForeground(fake.addWindow("", Rect{0, 0, 1024, 768}));
    poll();
    EXPECT_EQ(app->target().window(), target);
    const WindowId other = fake.addWindow("Other", Rect{0, 0, 10, 10});
    fake.setForeground(other);
    poll();
    EXPECT_EQ(Find<QLabel>("lblWindowText")->text(), "Other");
    // A vanished target reads as zeros and leaves the state buttons as they were.
    fake.vanishOnNextCall(other);
    poll();
    EXPECT_EQ(values(), "0 0 0 0 0 0");
    EXPECT_TRUE(Find<QToolButton>("optWindowControl0")->isChecked());
}

TEST_F(MainWindow, LongTitlesAreCutAndTheTipIsSentOnlyWhenItChanges) {
    start();
    poll();
    poll();
    EXPECT_EQ(fake.callsNamed("iconModify").size(), 1u);
    std::string title;
    for (int i = 0; i < 300; ++i) title += "\xC3\xA9";
    fake.window(target)->title = title;
    poll();
    EXPECT_EQ(Find<QLabel>("lblWindowText")->text().size(), 254);
    EXPECT_TRUE(Find<QLabel>("lblElipses")->isVisible());
    EXPECT_EQ(QString::fromStdString(fake.iconTip).size(), 63);
    EXPECT_EQ(fake.callsNamed("iconModify").size(), 2u);
    // A steady poll asks for the foreground and the target only.
    fake.clearCalls();
    poll();
    EXPECT_EQ(fake.calls, (std::vector<std::string>{"foregroundWindow",
                                                    "describeWindow " + std::to_string(target)}));
}

TEST_F(MainWindow, TheEntryPanelAppliesRefusesAndCloses) {
    start();
    poll();
    auto* box = Find<QLineEdit>("txtValue");
    const auto edit = [&](int index, const char* text, Qt::Key key) {
        click(QString("lblWindowDimension%1").arg(index));
        // Over the value, also when it was open over another one.
        EXPECT_TRUE(Find("picValueEntry")->isVisible());
        EXPECT_EQ(Find("picValueEntry")->x(),
                  Find(QString("lblWindowDimension%1").arg(index))->x());
        EXPECT_EQ(box->selectedText().toStdString(), value(index));
        box->selectAll();
        box->insert(text);
        QTest::keyClick(box, key);
    };
    edit(4, "640", Qt::Key_Return);
    EXPECT_FALSE(Find("picValueEntry")->isVisible());
    edit(3, "100.5", Qt::Key_Return);
    EXPECT_EQ(fake.callsNamed("placeWindow"),
              (std::vector<std::string>{placed({21, 21, 640, 600}), placed({21, 21, 640, 80})}));
    edit(0, "12px", Qt::Key_Return);
    EXPECT_TRUE(Find("picValueEntry")->isVisible());
    EXPECT_EQ(box->selectedText(), "12px");
    edit(0, "5", Qt::Key_Escape);
    EXPECT_FALSE(Find("picValueEntry")->isVisible());
    EXPECT_EQ(fake.callsNamed("placeWindow").size(), 2u);
    // Clicked into Sizewise, which the desktop does not say yet: the panel stays. The user
    // switches to another window: the panel closes unapplied.
    click("lblWindowDimension1");
    poll();
    EXPECT_TRUE(Find("picValueEntry")->isVisible());
    // Clicked before Qt knows the window is active: on the way the desktop may name
    // no window at all, or Sizewise itself; neither is a switch yet.
    QApplication::setActiveWindow(nullptr);
    click("lblWindowDimension1");
    for (WindowId between : {WindowId{0}, mainHandle()}) {
        fake.setForeground(between);
        poll();
        EXPECT_TRUE(Find("picValueEntry")->isVisible());
    }
    fake.setForeground(fake.addWindow("Elsewhere", Rect{}));
    poll();
    EXPECT_FALSE(Find("picValueEntry")->isVisible());
}

TEST_F(MainWindow, ValuesWaitForACommandToLandThenShowWhatIs) {
    start();
    poll();
    fake.deferPlacements = true;
    click("lblWindowDimension5");
    Find<QLineEdit>("txtValue")->setText("300");
    QTest::keyClick(Find("txtValue"), Qt::Key_Return);
    poll();  // the window manager has not moved it yet
    EXPECT_EQ(value(5), "300");
    fake.landPlacements();
    poll();
    EXPECT_EQ(values(), "21 21 821 321 800 300");
    // Also a place whose far edge is the last pixel 32 bits hold.
    click("lblWindowDimension0");
    Find<QLineEdit>("txtValue")->setText("2147482847");
    QTest::keyClick(Find("txtValue"), Qt::Key_Return);
    poll();
    poll();
    EXPECT_EQ(value(0), "2147482847");
    fake.landPlacements();
    poll();
    // A window that refuses the size shows its own once the wait is over.
    fake.window(target)->rect = Rect{21, 21, 821, 400};
    click("lblWindowDimension5");
    Find<QLineEdit>("txtValue")->setText("310");
    QTest::keyClick(Find("txtValue"), Qt::Key_Return);
    QTest::qWait(TargetMonitor::kPlacementLanding.count() + 50);
    poll();
    EXPECT_EQ(value(5), "379");
}

TEST_F(MainWindow, StateButtonsPresetsAndTheOrigin) {
    start();
    poll();
    click("optWindowControl2");
    EXPECT_EQ(fake.window(target)->state, WindowState::Maximised);
    // On its way there a reading may still catch the old state: that is not shown.
    fake.window(target)->passing.push_back(
        WindowInfo{"Target", WindowState::Normal, Rect{21, 21, 821, 621}});
    for (int i = 0; i < 3; ++i)
        poll();  // landed: the state is there and the frame has stopped changing
    EXPECT_TRUE(Find<QToolButton>("optWindowControl2")->isChecked());
    fake.showWindow(target, ShowCommand::Minimise);
    fake.clearCalls();
    poll();
    // A minimised target reads -32000 and selects its button, whose action runs.
    EXPECT_EQ(value(0), "-32000");
    EXPECT_TRUE(Find<QToolButton>("optWindowControl1")->isChecked());
    EXPECT_EQ(fake.callsNamed("showWindow"),
              std::vector<std::string>{"showWindow " + std::to_string(target) + " 1"});
    click("optWindowControl0");
    poll();
    poll();
    click("cmdPreset0");
    click("cmdPreset2");
    click("cmdZeroWindow");
    MenuEntry("800x600")->trigger();
    EXPECT_FALSE(Find<QToolButton>("cmdPreset7")->isEnabled());
    EXPECT_EQ(Find<QToolButton>("cmdPreset7")->toolTip(), "No Preset Allocated");
    EXPECT_EQ(Find<QToolButton>("cmdPreset1")->toolTip(), "Resize Target Window to 800x600");
    EXPECT_EQ(fake.callsNamed("placeWindow"),
              (std::vector<std::string>{placed({21, 21, 640, 480}), placed({21, 21, 1024, 768}),
                                        placed({0, 0, 1024, 768}), placed({0, 0, 800, 600})}));
}

TEST_F(MainWindow, ThePresetEditorTakesNumbersOnlyAndCancelKeepsTheSlots) {
    start();
    const auto inEditor = [](std::function<void(QWidget*)> act) {
        QTimer::singleShot(0, [act] { act(QApplication::activeModalWidget()); });
        MenuEntry("Edit &Presets")->trigger();
    };
    inEditor([](QWidget* editor) {
        // Centred on the screen.
        EXPECT_LE((editor->frameGeometry().center() - QPoint(512, 384)).manhattanLength(), 2);
        editor->findChild<QLineEdit*>("txtWidth0")->setText("0");
        editor->findChild<QLineEdit*>("txtWidth7")->setText("1920");
        editor->findChild<QLineEdit*>("txtHeight7")->setText("1080");
        editor->findChild<QLineEdit*>("txtHeight8")->setText("tall");
        QTest::mouseClick(editor->findChild<QPushButton*>("cmdOk"), Qt::LeftButton);
        EXPECT_TRUE(editor->isVisible());  // refused: nothing taken
        editor->findChild<QLineEdit*>("txtHeight8")->setText("0");
        QTest::mouseClick(editor->findChild<QPushButton*>("cmdOk"), Qt::LeftButton);
    });
    EXPECT_TRUE(Find<QToolButton>("cmdPreset7")->isEnabled());
    EXPECT_EQ(MenuEntry("1920x1080")->isVisible(), true);
    inEditor([](QWidget* editor) {
        EXPECT_EQ(editor->findChild<QLineEdit*>("txtWidth0")->text(), "640");
        editor->findChild<QLineEdit*>("txtWidth7")->setText("0");
        QTest::mouseClick(editor->findChild<QPushButton*>("cmdCancel"), Qt::LeftButton);
    });
    EXPECT_TRUE(Find<QToolButton>("cmdPreset7")->isEnabled());
    app->Unload(kUnloadCode);
    EXPECT_EQ(saved("Config", "PresetWidth_7"), "1920");
    EXPECT_EQ(saved("Config", "gPresetHeight_8"), "0");
}

TEST_F(MainWindow, TheLayoutViewFollowsDragsAndFolds) {
    start();
    poll();
    QWidget* image = Find("imgWindow");
    const QPoint grab = image->rect().center();
    drag(image, grab, grab + QPoint(10, 5));
    const auto drags = fake.callsNamed("placeWindow");
    ASSERT_EQ(drags.size(), 1u);
    // The image at 32 units moves 150 and 75 of the view's 1545 x 1155 units.
    EXPECT_EQ(drags[0], placed({120, 71, 800, 600}));
    QTest::mouseClick(image, Qt::RightButton);
    EXPECT_TRUE(Find<QMenu>("mnuPopup")->isVisible());
    Find<QMenu>("mnuPopup")->hide();
    const int tall = form().height();
    click("chkShowLayout");
    EXPECT_LT(form().height(), tall);
    EXPECT_FALSE(MenuEntry("Show &Window Layout")->isChecked());
    MenuEntry("Show &Window Layout")->trigger();
    EXPECT_EQ(form().height(), tall);
    EXPECT_TRUE(Find<QToolButton>("chkShowLayout")->isChecked());
}

TEST_F(MainWindow, ChangesAreReadAtOnceThenAtMostEveryTenMillisecondsAndAfterEveryCommand) {
    start();
    int reads = 0;
    QObject::connect(&app->monitor(), &TargetMonitor::targetRead, [&] { ++reads; });
    const auto readsWithin = [&](int ms) {
        reads = 0;
        QTest::qWait(ms);
        return reads;
    };
    app->monitor().start();
    // The first reading selects the state button, whose show command is read after;
    // then nothing changes and nothing is read.
    EXPECT_EQ(readsWithin(300), 2);
    const auto began = std::chrono::steady_clock::now();
    for (int i = 0; i < 300; ++i) {
        fake.changed();
        fake.deliverChanges();
        QCoreApplication::processEvents();
    }
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(
        std::chrono::steady_clock::now() - began);
    const int burst = reads + readsWithin(200);
    EXPECT_GE(burst, 2);  // at the first change and after the last
    EXPECT_LE(burst, ms.count() / 10 + 2);
    // A command is read again, also one the window refuses: until its time is up.
    fake.deferPlacements = true;
    click("cmdZeroWindow");
    const int landing = readsWithin(int(TargetMonitor::kPlacementLanding.count()) + 300);
    EXPECT_GE(landing, 2);
    EXPECT_LE(landing, TargetMonitor::kPlacementLanding / TargetMonitor::kLandingCheck + 2);
    EXPECT_EQ(readsWithin(100), 0);
}

TEST_F(MainWindow, OnTwoMonitorsTheWindowIsInSightAndTheOriginIsTheTargetsMonitors) {
    fake.setScreen({2304, 1280, 96, 96, {{0, 256, 1280, 1280}, {1280, 0, 2304, 768}}});
    start();
    EXPECT_EQ(form().pos(), QPoint(0, 256));  // nothing stored: the primary monitor's corner
    fake.window(target)->rect = Rect{1200, 100, 1600, 400};  // most of it on the second
    poll();
    click("cmdZeroWindow");
    EXPECT_EQ(fake.callsNamed("placeWindow").back(), placed({1280, 0, 400, 300}));
    form().move(1500, 100);
    fake.setScreen({1280, 1024, 96, 96, {{0, 0, 1280, 1024}}});  // the second one turned off
    EXPECT_EQ(form().pos(), QPoint(1280 - form().width(), 100));
}

TEST_F(MainWindow, TheMarqueeMovesOnlyWhileTheWindowIsSeen) {
    start();
    QWidget* strip = Find("picScroll");
    // Shown, each step is painted: more often than the line's text changes.
    const auto paintsWithin = [&](int ms) {
        int paints = 0;
        struct Count : QObject {
            int* seen;
            explicit Count(int* counter) : seen(counter) {}
            bool eventFilter(QObject*, QEvent* e) override {
                *seen += e->type() == QEvent::Paint;
                return false;
            }
        } count(&paints);
        strip->installEventFilter(&count);
        QTest::qWait(ms);
        strip->removeEventFilter(&count);
        return paints;
    };
    EXPECT_GE(paintsWithin(1200), 3);  // longer than the marquee's rest between lines
    MenuEntry("&Hide")->trigger();
    // Hidden, it does not step: its picture is where it stopped.
    const QImage stopped = strip->grab().toImage();
    QTest::qWait(1200);
    EXPECT_EQ(strip->grab().toImage(), stopped);
    MenuEntry("&Show")->trigger();
    EXPECT_GE(paintsWithin(1200), 3);
}

TEST(Glyphs, TheGlobeAndTheEnvelopeAreDrawnCentred) {
    // Mirrored, within the rasteriser's rounding: no pixel's alpha or grey off by an eighth.
    const auto symmetric = [](const QIcon& icon, QSize size, bool vertically) {
        const QImage image = icon.pixmap(size).toImage(),
                     mirror = image.mirrored(!vertically, vertically);
        for (int i = 0; i < size.width() * size.height(); ++i) {
            const QRgb a = image.pixel(i % size.width(), i / size.width()),
                       b = mirror.pixel(i % size.width(), i / size.width());
            if (std::abs(qAlpha(a) - qAlpha(b)) >= 32 || std::abs(qGray(a) - qGray(b)) >= 32)
                return false;
        }
        return true;
    };
    EXPECT_TRUE(symmetric(glyphs::Globe(), {40, 40}, false));
    EXPECT_TRUE(symmetric(glyphs::Globe(), {40, 40}, true));
    EXPECT_TRUE(symmetric(glyphs::Envelope(), {28, 20}, false));
}

}  // namespace
}  // namespace sw
