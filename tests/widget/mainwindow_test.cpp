// The main window on the fake desktop: following the target, the entry panel, commands, presets,
// the layout view, the reading rules and the marquee.
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <QToolTip>

#include "fixture.h"
#include "glyphs.h"
#include "target.h"

namespace sw {
namespace {

using MainWindowTest = App;

TEST_F(MainWindowTest, ShowsTheForegroundWindowNeverItsOwnOrAnUntitledOneAndCutsLongTitles) {
    start();
    EXPECT_EQ(values(), "21 21 821 621 800 600");
    EXPECT_EQ(fake.iconTip, "WATCHING WINDOW: Target");
    fake.setForeground(0);  // passed through on a focus change: the target stays
    poll();
    EXPECT_EQ(title(), "Target");
    // The program's own window leaves the target; a change to it still shows.
    fake.setForeground(mainHandle());
    fake.window(target)->rect = Rect{-4, -4, 1028, 772};
    poll();
    EXPECT_EQ(values(), "-4 -4 1028 772 1032 776");
    // Untitled windows (the desktop, a panel) never replace a target once seen.
    fake.setForeground(fake.addWindow("", Rect{0, 0, 1024, 768}));
    poll();
    EXPECT_EQ(title(), "Target");
    // A long title is cut, and the icon's tip changed only when the title changes.
    std::string long300;
    for (int i = 0; i < 300; ++i) long300 += "\xC3\xA9";
    const WindowId other = fake.addWindow(long300, Rect{0, 0, 10, 10});
    fake.setForeground(other);
    poll();
    EXPECT_EQ(QString::fromStdString(title()).size(), 254);
    EXPECT_TRUE(findWidget<QLabel>("titleEllipsis")->isVisible());
    EXPECT_EQ(QString::fromStdString(fake.iconTip).size(), 63);
    const int tips = fake.tipChanges;
    poll();
    EXPECT_EQ(fake.tipChanges, tips);
    // A vanished target reads as zeros and leaves the state buttons as they were.
    fake.vanishOnNextCall(other);
    poll();
    EXPECT_EQ(values(), "0 0 0 0 0 0");
    EXPECT_TRUE(findWidget<QToolButton>("restoreButton")->isChecked());
}

TEST_F(MainWindowTest, TheEntryPanelAppliesRefusesAndCloses) {
    start();
    auto* box = findWidget<QLineEdit>("valueBox");
    QWidget* entry = findWidget("valueEntry");
    const auto edit = [&](const char* name, const char* text, Qt::Key key) {
        click(QString(name) + "Value");
        // Over the value, also when it was open over another one.
        EXPECT_TRUE(entry->isVisible());
        EXPECT_EQ(entry->x(), findWidget(QString(name) + "Value")->x());
        EXPECT_EQ(box->selectedText().toStdString(), value(name));
        box->selectAll();
        box->insert(text);
        QTest::keyClick(box, key);
    };
    edit("width", "640", Qt::Key_Return);
    EXPECT_FALSE(entry->isVisible());
    EXPECT_EQ(frame(), (Rect{21, 21, 661, 621}));
    EXPECT_EQ(values(), "21 21 661 621 640 600");  // at once, before the desktop says so
    edit("bottom", "100.5", Qt::Key_Return);       // a height of 79.5, halves to even
    EXPECT_EQ(frame(), (Rect{21, 21, 661, 101}));
    edit("right", "100.5", Qt::Key_Return);  // the edge in whole numbers
    EXPECT_EQ(frame(), (Rect{21, 21, 100, 101}));
    edit("left", "12px", Qt::Key_Return);
    EXPECT_TRUE(entry->isVisible());
    EXPECT_EQ(box->selectedText(), "12px");
    EXPECT_EQ(QToolTip::text(), "Not a number");
    edit("left", "5", Qt::Key_Escape);
    EXPECT_FALSE(entry->isVisible());
    EXPECT_EQ(frame(), (Rect{21, 21, 100, 101}));
    // Clicked into Sizewise, which the desktop does not say yet: the panel stays. The user
    // switches to another window: the panel closes unapplied.
    click("topValue");
    poll();
    EXPECT_TRUE(entry->isVisible());
    // Clicked before Qt knows the window is active: on the way the desktop may name no window at
    // all, or Sizewise itself; neither is a switch yet.
    QApplication::setActiveWindow(nullptr);
    click("topValue");
    for (WindowId between : {WindowId{0}, mainHandle()}) {
        fake.setForeground(between);
        poll();
        EXPECT_TRUE(entry->isVisible());
    }
    fake.setForeground(fake.addWindow("Elsewhere", Rect{}));
    poll();
    EXPECT_FALSE(entry->isVisible());
}

TEST_F(MainWindowTest, ACommandIsShownUntilItLandsThenWhatIs) {
    start();
    fake.deferPlacements = true;
    const auto type = [](const char* name, const char* text) {
        click(QString(name) + "Value");
        findWidget<QLineEdit>("valueBox")->setText(text);
        QTest::keyClick(findWidget("valueBox"), Qt::Key_Return);
    };
    type("height", "300");
    poll();  // the window manager has not moved it yet
    EXPECT_EQ(value("height"), "300");
    fake.landPlacements();
    poll();
    EXPECT_EQ(values(), "21 21 821 321 800 300");
    // Also a place whose far edge is the last pixel 32 bits hold.
    type("left", "2147482847");
    poll();
    EXPECT_EQ(value("right"), "2147483647");
    fake.landPlacements();
    poll();
    // A window that refuses the size shows its own once the time for it is up.
    fake.window(target)->rect = Rect{21, 21, 821, 400};
    type("height", "310");
    poll();
    EXPECT_EQ(value("height"), "310");
    now += Target::kPlacementLanding;
    poll();
    EXPECT_EQ(value("height"), "379");
}

TEST_F(MainWindowTest, StateButtonsPresetsAndTheOrigin) {
    start();
    click("maximiseButton");
    EXPECT_EQ(fake.window(target)->state, WindowState::Maximised);
    // On its way there a reading may catch the old state, or the new one with a frame still
    // growing: neither is shown until the state is there and the frame has stopped.
    fake.window(target)->passing = {{"Target", WindowState::Normal, Rect{21, 21, 821, 621}},
                                    {"Target", WindowState::Maximised, Rect{10, 10, 900, 700}}};
    poll();
    poll();
    EXPECT_EQ(value("width"), "800");
    poll();
    poll();
    EXPECT_EQ(value("width"), "1024");
    EXPECT_TRUE(findWidget<QToolButton>("maximiseButton")->isChecked());
    fake.showWindow(target, ShowCommand::Minimise);
    poll();
    // A minimised target reads -32000 and selects its button.
    EXPECT_EQ(value("left"), "-32000");
    EXPECT_TRUE(findWidget<QToolButton>("minimiseButton")->isChecked());
    click("restoreButton");
    EXPECT_EQ(fake.window(target)->state, WindowState::Normal);
    poll();
    poll();  // landed: the frame stopped
    click("presetButton2");
    EXPECT_EQ(frame(), (Rect{21, 21, 1045, 789}));
    click("originButton");
    EXPECT_EQ(frame(), (Rect{0, 0, 1024, 768}));
    menuEntry("800x600")->trigger();
    EXPECT_EQ(frame(), (Rect{0, 0, 800, 600}));
    EXPECT_EQ(findWidget<QToolButton>("presetButton7")->toolTip(), "No Preset Allocated");
    EXPECT_EQ(findWidget<QToolButton>("presetButton1")->toolTip(),
              "Resize Target Window to 800x600");
}

TEST_F(MainWindowTest, ThePresetEditorTakesNumbersOnlyAndCancelOrEscKeepTheSlots) {
    start();
    const auto editor = [] {
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);  // a closed one goes
        menuEntry("Edit &Presets")->trigger();
        return findWidget<QDialog>("presetEditor");
    };
    const auto box = [](QWidget* e, const char* name) { return e->findChild<QLineEdit*>(name); };
    QWidget* e = editor();
    ASSERT_TRUE(e && e->isVisible());
    // Centred on the screen.
    EXPECT_LE((e->frameGeometry().center() - QPoint(512, 384)).manhattanLength(), 2);
    box(e, "presetWidth0")->setText("0");
    box(e, "presetWidth7")->setText("1920");
    box(e, "presetHeight7")->setText("1080");
    box(e, "presetHeight8")->setText("tall");
    QTest::mouseClick(e->findChild<QPushButton*>("okButton"), Qt::LeftButton);
    EXPECT_TRUE(e->isVisible());  // refused: nothing taken
    EXPECT_EQ(QToolTip::text(), "Not a number");
    EXPECT_FALSE(findWidget<QToolButton>("presetButton7")->isEnabled());
    box(e, "presetHeight8")->setText("0");
    QTest::mouseClick(e->findChild<QPushButton*>("okButton"), Qt::LeftButton);
    EXPECT_FALSE(e->isVisible());
    EXPECT_TRUE(findWidget<QToolButton>("presetButton7")->isEnabled());
    EXPECT_TRUE(menuEntry("1920x1080")->isVisible());
    e = editor();
    EXPECT_EQ(box(e, "presetWidth0")->text(), "640");
    box(e, "presetWidth7")->setText("0");
    QTest::mouseClick(e->findChild<QPushButton*>("cancelButton"), Qt::LeftButton);
    e = editor();
    box(e, "presetWidth7")->setText("0");
    QTest::keyClick(box(e, "presetWidth7"), Qt::Key_Escape);
    EXPECT_FALSE(e->isVisible());
    EXPECT_TRUE(findWidget<QToolButton>("presetButton7")->isEnabled());
    app->quit();
    EXPECT_EQ(saved("Config", "PresetWidth_7"), "1920");
    EXPECT_EQ(saved("Config", "gPresetHeight_8"), "0");
}

TEST_F(MainWindowTest, TheLayoutViewFollowsDragsAndFolds) {
    start();
    QWidget* image = findWidget("targetImage");
    const QPoint grab = image->rect().center();
    drag(image, grab, grab + QPoint(10, 5));
    // The image moves 150 and 75 of the view's 1545 x 1155 units.
    EXPECT_EQ(frame(), (Rect{120, 71, 920, 671}));
    QTest::mouseClick(image, Qt::RightButton);
    EXPECT_TRUE(findWidget<QMenu>("popupMenu")->isVisible());
    findWidget<QMenu>("popupMenu")->hide();
    const int tall = window().height();
    click("layoutSwitch");
    EXPECT_LT(window().height(), tall);
    EXPECT_LE(findWidget("layoutSwitch")->geometry().bottom(), window().height());  // in reach
    EXPECT_TRUE(fake.window(mainHandle())->topmost);  // kept above the others
    EXPECT_FALSE(menuEntry("Show &Window Layout")->isChecked());
    menuEntry("Show &Window Layout")->trigger();
    EXPECT_EQ(window().height(), tall);
    EXPECT_TRUE(findWidget<QToolButton>("layoutSwitch")->isChecked());
}

TEST_F(MainWindowTest, ChangesAreReadAtOnceThenAtMostEveryTenMilliseconds) {
    start();
    const auto moved = [&](std::int32_t left) {
        fake.window(target)->rect = Rect{left, 21, left + 800, 621};
        fake.changed();
        fake.deliverChanges();
        return value("left") == std::to_string(left);
    };
    now += std::chrono::milliseconds(20);
    EXPECT_TRUE(moved(30));   // the first change of a burst at once
    EXPECT_FALSE(moved(40));  // the next one not within ten milliseconds...
    EXPECT_TRUE(QTest::qWaitFor([&] { return value("left") == "40"; }));  // ...but after them
    EXPECT_TRUE(nothingDue());
    // A reading that found nothing new holds nothing back: a window manager announces a switch
    // in steps (the old window, no active window, the new one), and the last is read at once.
    now += std::chrono::milliseconds(20);
    const WindowId other = fake.addWindow("Other", Rect{5, 5, 105, 105});
    for (const WindowId step : {target, WindowId{0}, other}) {
        fake.setForeground(step);
        fake.changed();
        fake.deliverChanges();
    }
    EXPECT_EQ(title(), "Other");
    EXPECT_TRUE(nothingDue());
}

TEST_F(MainWindowTest, OnTwoMonitorsTheWindowIsInSightAndTheOriginIsTheTargetsMonitors) {
    fake.setScreen({{0, 0, 2304, 1280}, 96, 96, {{0, 256, 1280, 1280}, {1280, 0, 2304, 768}}});
    start();
    // Nothing stored: the first start's place, brought wholly onto the primary monitor.
    EXPECT_EQ(window().pos(), QPoint(65, 256));
    fake.window(target)->rect = Rect{1200, 100, 1600, 400};  // most of it on the second
    poll();
    click("originButton");
    EXPECT_EQ(frame(), (Rect{1280, 0, 1680, 300}));
    window().move(1500, 100);
    fake.setScreen({{0, 0, 1280, 1024}, 96, 96, {{0, 0, 1280, 1024}}});  // the second one off
    EXPECT_EQ(window().pos(), QPoint(1280 - window().width(), 100));
}

TEST_F(MainWindowTest, TheMarqueeMovesOnlyWhileTheWindowIsSeen) {
    start();
    QWidget* strip = findWidget("marquee");
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
    // Shown, each step is painted, also past the rest between lines.
    EXPECT_TRUE(QTest::qWaitFor([&] { return paints >= 25; }, 5000));
    // Hidden to the notification area with the rulers hidden, nothing of the window runs.
    click("rulersSwitch");
    menuEntry("&Hide")->trigger();
    for (const QTimer* timer : window().findChildren<QTimer*>()) EXPECT_FALSE(timer->isActive());
    menuEntry("&Show")->trigger();
    paints = 0;
    EXPECT_TRUE(QTest::qWaitFor([&] { return paints >= 3; }));
    strip->removeEventFilter(&count);
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
    EXPECT_TRUE(symmetric(glyphs::globe(), {40, 40}, false));
    EXPECT_TRUE(symmetric(glyphs::globe(), {40, 40}, true));
    EXPECT_TRUE(symmetric(glyphs::envelope(), {28, 20}, false));
}

}  // namespace
}  // namespace sw
