// The rulers on the fake desktop: shown together, locks, the pointer work, handles and places.
#include <QMessageBox>
#include <QScreen>
#include <QToolButton>

#include "fixture.h"
#include "frmruler.h"
#include "locking.h"

namespace sw {
namespace {

class RulerTest : public App {
protected:
    void SetUp() override {
        App::SetUp();
        fake.store[{"Sizewise", "HorizontalRulerConfig", "Left"}] = "1500";  // 100 px
        fake.store[{"Sizewise", "HorizontalRulerConfig", "Top"}] = "3000";   // 200 px
        fake.store[{"Sizewise", "VerticalRulerConfig", "Top"}] = "750";      // 50 px
        start();
        poll();
    }
    frmRuler& h() { return app->rulers().horizontal(); }
    frmRuler& v() { return app->rulers().vertical(); }
    void lock(frmRuler& ruler, const char* button) {
        QTest::mouseClick(ruler.findChild<QToolButton*>(button), Qt::LeftButton);
    }
};

TEST_F(RulerTest, ShownAndHiddenTogetherFromEveryPlace) {
    EXPECT_TRUE(h().isVisible() && v().isVisible());
    // Told once more that they are tool windows once shown, not at every reading.
    poll();
    poll();
    EXPECT_EQ(fake.callsNamed("markToolWindow").size(), 4u);
    EXPECT_TRUE(MenuEntry("Show &Rulers")->isChecked());
    QTest::mouseClick(h().findChild<QToolButton*>("cmdClose"), Qt::LeftButton);
    EXPECT_FALSE(h().isVisible() || v().isVisible());
    EXPECT_FALSE(Find<QToolButton>("chkShowRulers")->isChecked());
    MenuEntry("Show &Rulers")->trigger();
    EXPECT_TRUE(v().isVisible());
    click("chkShowRulers");
    EXPECT_FALSE(v().isVisible());
    EXPECT_FALSE(MenuEntry("Show &Rulers")->isChecked());
    app->Unload(kUnloadCode);
    EXPECT_EQ(saved("Config", "ShowRuler"), "False");
}

TEST_F(RulerTest, LocksSpanTheScreenOrTheTargetWhichTheyFollow) {
    EXPECT_EQ(h().edgePx(), 100);
    EXPECT_EQ(h().acrossPx(), 200);
    lock(h(), "optLockScreen");
    EXPECT_EQ(h().edgePx(), 0);
    EXPECT_EQ(h().length(), 1024);
    EXPECT_FALSE(h().findChild<QWidget*>("picDrag0")->isVisible());
    lock(v(), "optLockWindow");
    EXPECT_EQ(v().edgePx(), 21);
    EXPECT_EQ(v().length(), 600);
    fake.window(target)->rect = Rect{30, 40, 330, 440};
    poll();
    EXPECT_EQ(v().edgePx(), 40);
    EXPECT_EQ(v().length(), 400);
    EXPECT_EQ(h().length(), 1024);  // the screen lock does not follow
    lock(h(), "optLockFree");
    EXPECT_EQ(h().edgePx(), 100);
    EXPECT_EQ(h().length(), 433);
    // Saved at the place it had when it was last free.
    app->Unload(kUnloadCode);
    EXPECT_EQ(saved("VerticalRulerConfig", "Top"), "750");
    EXPECT_EQ(saved("VerticalRulerConfig", "Height"), "433");
    EXPECT_EQ(saved("HorizontalRulerConfig", "Left"), "1500");
}

TEST_F(RulerTest, AMinimisedTargetIsRefusedWithAMessage) {
    fake.showWindow(target, ShowCommand::Minimise);
    lock(h(), "optLockWindow");
    auto* refusal = h().findChild<QMessageBox*>();
    ASSERT_TRUE(refusal);
    EXPECT_EQ(refusal->text(), kCannotLockMinimised);
    EXPECT_TRUE(h().findChild<QToolButton*>("optLockFree")->isChecked());
    refusal->close();
}

TEST_F(RulerTest, ThePointerWorkShowsCoordinatesLinesAndMeasures) {
    fake.movePointer(Point{400, 300});
    ASSERT_TRUE(QTest::qWaitFor([&] { return h().highlight() == 300; }));
    EXPECT_EQ(v().highlight(), 250);
    EXPECT_EQ(h().findChild<QLabel*>("lblMousePosition")->text(), "300,250");
    fake.holdKeys(KeyStates{true, false, true});
    ASSERT_TRUE(QTest::qWaitFor([&] { return h().measureLine().has_value(); }));
    fake.down = KeyStates{};
    fake.movePointer(Point{450, 340});
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return h().findChild<QLabel*>("lblMeasure")->text() == "50 X 40"; }));
    EXPECT_EQ(v().measureLine(), (std::pair<std::int32_t, std::int32_t>{250, 290}));
    // Absolute mode, chosen from the horizontal ruler's menu, shifts both scales.
    h().findChild<QMenu*>()->findChildren<QAction*>().back()->trigger();
    EXPECT_EQ(app->rulers().mode(), 1);
    EXPECT_EQ(h().legendOffset(), -100);
    EXPECT_EQ(v().legendOffset(), -50);
    EXPECT_EQ(h().findChild<QLabel*>("lblMousePosition")->text(), "450,340");  // at once
    fake.pressKeys(KeyStates{false, true, false});
    ASSERT_TRUE(QTest::qWaitFor([&] { return !h().measureLine(); }));
}

TEST_F(RulerTest, TheScaleFallsOnExactPixelsWithTheLinesOverIt) {
    v().hide();  // out of the horizontal ruler's way
    fake.movePointer(Point{100 + 125, 300});
    ASSERT_TRUE(QTest::qWaitFor([&] { return h().highlight() == 125; }));
    const QImage strip = h().grab().toImage();
    const int y = strip.height() - 2;   // the ticks run to the strip's far edge
    for (int x = 5; x < 400; x += 5) {  // ticks and half ticks, and the red line over one
        EXPECT_EQ(strip.pixel(x, y), x == 125 ? qRgb(255, 0, 0) : qRgb(0, 0, 0)) << x;
    }
    for (int x = 11; x < 20; ++x)
        EXPECT_EQ(strip.pixel(x, y), x == 15 ? qRgb(0, 0, 0) : qRgb(255, 255, 192)) << x;
    EXPECT_EQ(v().marks().numbers.at(1).tick, 30);  // one line high: a number every 20
    // What is on the screen, not a fresh painting: in absolute numbers the red line moves and
    // leaves nothing behind.
    app->rulers().ChangeMode(1);
    const auto shown = [&] {
        return QGuiApplication::primaryScreen()->grabWindow(h().winId()).toImage();
    };
    const auto red = [&](int x) { return shown().pixel(x, y) == qRgb(255, 0, 0); };
    fake.movePointer(Point{260, 300});
    ASSERT_TRUE(QTest::qWaitFor([&] { return red(160); }));
    fake.movePointer(Point{300, 300});
    ASSERT_TRUE(QTest::qWaitFor([&] { return red(200); }));
    EXPECT_FALSE(red(160));
}

TEST_F(RulerTest, HandlesStretchAndTheTitleStripMoves) {
    QWidget* far = h().findChild<QWidget*>("picDrag1");
    drag(far, QPoint(5, 5), QPoint(65, 5));
    EXPECT_EQ(h().length(), 493);
    QWidget* strip = h().findChild<QWidget*>("picTitlebar");
    lock(h(), "optLockScreen");
    drag(strip, QPoint(150, 5), QPoint(190, 35));
    // Locked, it moves only across its axis.
    EXPECT_EQ(h().edgePx(), 0);
    EXPECT_EQ(h().acrossPx(), 230);
}

}  // namespace
}  // namespace sw
