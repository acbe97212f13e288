// The two rulers on the fake desktop: first-run place and layout, locks and
// following through the monitor, the caption colour, the switch in its three
// places, the handles, the pointer tick and the settings across a restart.
#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include "fixture.h"
#include "rulers/frmruler.h"
#include "rulers/rulerparts.h"

namespace sw {
namespace {

class RulersTest : public FormTest {
protected:
    frmRuler& h() { return *g.gHorizRuler; }
    frmRuler& v() { return *g.gVertRuler; }
    QRect far(frmRuler& r) { return r.picDrag[1]->geometry(); }

    // Exits and starts again from what was saved.
    void restart() {
        form->mnuExit->trigger();
        fake.store = fake.saved;
        form.reset();
        g = Module1{};
        form = std::make_unique<Form1>(g, desktop, [this](int status) { endStatus = status; });
        g.gMainForm = form.get();
        form->tmrCheckActiveWindow->stop();
        form->Form_Load();
        form->show();
        QApplication::processEvents();
    }

    // Counts paints of a widget: a still pointer must cause none.
    class PaintCounter : public QObject {
    public:
        int paints = 0;
        bool eventFilter(QObject*, QEvent* e) override {
            if (e->type() == QEvent::Paint) ++paints;
            return false;
        }
    };
};

TEST_F(RulersTest, FirstRunBothRulersAtTheCornerLaidOutForAnyLength) {
    ASSERT_TRUE(h().isVisible());
    ASSERT_TRUE(v().isVisible());
    EXPECT_EQ(h().geometry(), QRect(0, 0, 433, 41));
    EXPECT_EQ(v().geometry(), QRect(0, 0, 57, 433));
    EXPECT_EQ(far(h()), QRect(423, 10, 10, 24));
    EXPECT_EQ(h().picControlBox->geometry(), QRect(333, 0, 85, 21));  // 5 px left of the handle
    EXPECT_EQ(far(v()).top(), 423);
    EXPECT_EQ(v().picControlBox->geometry(), QRect(0, 16, 21, 63));
    EXPECT_TRUE(form->chkShowRulers->isChecked());
    EXPECT_TRUE(form->mnuOptionsShowRuler->isChecked());
    // The scale is built for the screen's length: 1024 ends with a tick at 1030.
    EXPECT_EQ(h().marks().ticks.back(), 1030);
    EXPECT_EQ(v().marks().ticks.back(), 770);
    EXPECT_EQ(h().marks().numbers.front().caption, "10");

    // Longer than the screen: the window follows, the control box and the far
    // handle stay at the far end, the box of the vertical ruler stays put.
    h().SetLockMode(kLockScreen);
    v().SetLockMode(kLockScreen);
    EXPECT_EQ(h().geometry(), QRect(0, 0, 1024, 41));
    EXPECT_EQ(h().picControlBox->x(), 1024 - 85 - 10 - 5);
    EXPECT_EQ(v().geometry(), QRect(0, 0, 57, 768));
    EXPECT_EQ(v().picControlBox->geometry(), QRect(0, 16, 21, 63));
    EXPECT_FALSE(h().picDrag[0]->isVisibleTo(&h()));
    EXPECT_TRUE(h().optLockScreen->isChecked());
}

TEST_F(RulersTest, LockToTheTargetFollowsItAndAnotherTargetAndUnlocksToTheFreePlace) {
    h().move(40, 300);
    QApplication::processEvents();
    poll();
    h().optLockWindow->click();
    v().optLockWindow->click();
    EXPECT_EQ(h().geometry(), QRect(21, 300, 800, 41));
    EXPECT_EQ(v().geometry(), QRect(0, 21, 57, 600));

    // The monitor's own reading moves them: no read of the rulers' own.
    fake.window(target)->rect = Rect{100, 50, 740, 530};
    fake.clearCalls();
    poll();
    EXPECT_EQ(h().geometry(), QRect(100, 300, 640, 41));
    EXPECT_EQ(v().geometry(), QRect(0, 50, 57, 480));
    EXPECT_EQ(fake.callsNamed("windowRect").size(), 0u);

    const WindowId other = fake.addWindow("Other", Rect{200, 210, 500, 400});
    fake.setForeground(other);
    poll();
    EXPECT_EQ(h().geometry(), QRect(200, 300, 300, 41));

    // Minimised after the lock: the ruler stays; to the screen and back to free.
    fake.window(other)->rect = Rect{-32000, -32000, -31840, -31969};
    poll();
    EXPECT_EQ(h().geometry(), QRect(200, 300, 300, 41));
    h().optLockScreen->click();
    EXPECT_EQ(h().geometry(), QRect(0, 300, 1024, 41));
    h().optLockFree->click();
    EXPECT_EQ(h().geometry(), QRect(40, 300, 433, 41));
    EXPECT_TRUE(h().picDrag[1]->isVisibleTo(&h()));
}

TEST_F(RulersTest, LockingToAMinimisedOrVanishedTargetIsRefused) {
    poll();
    fake.window(target)->rect = Rect{-32000, -32000, -31840, -31969};
    h().optLockWindow->click();
    ASSERT_NE(h().lockRefusal, nullptr);
    EXPECT_EQ(h().lockRefusal->text().toStdString(), "Cannot Lock to minimised window");
    EXPECT_EQ(h().lockRefusal->windowTitle().toStdString(), "Sizewise");
    EXPECT_TRUE(h().optLockFree->isChecked());
    EXPECT_EQ(h().lockMode(), kLockFree);
    EXPECT_EQ(h().geometry(), QRect(0, 0, 433, 41));
    h().lockRefusal->close();
    QApplication::processEvents();

    // A window that is gone reads as all zeros: the ruler must not shrink to nothing.
    fake.closeWindow(target);
    v().optLockWindow->click();
    EXPECT_EQ(v().lockMode(), kLockFree);
    EXPECT_EQ(v().geometry(), QRect(0, 0, 57, 433));
}

TEST_F(RulersTest, EitherRulerInTheForegroundColoursBothTitleStrips) {
    const WindowId ruler = nativeHandle(&v());
    fake.adoptWindow(ruler, "Sizewise Vertical Ruler", Rect{0, 0, 57, 433});
    poll();
    const QColor inactive = h().picTitlebar->palette().color(QPalette::Window);
    fake.setForeground(ruler);
    poll();
    const QColor active = h().picTitlebar->palette().color(QPalette::Window);
    EXPECT_NE(active, inactive);
    EXPECT_EQ(active, QApplication::palette().color(QPalette::Active, QPalette::Highlight));
    EXPECT_EQ(v().picTitlebar->palette().color(QPalette::Window), active);
    // A ruler never becomes the target.
    EXPECT_EQ(title(), "Target");
    fake.setForeground(mainHandle());
    poll();
    EXPECT_EQ(v().picTitlebar->palette().color(QPalette::Window), inactive);
}

TEST_F(RulersTest, TheSwitchMenuAndCloseButtonShowAndHideBothTogether) {
    h().move(70, 90);
    QApplication::processEvents();
    h().cmdClose->click();
    EXPECT_FALSE(h().isVisible());
    EXPECT_FALSE(v().isVisible());
    EXPECT_FALSE(form->chkShowRulers->isChecked());
    EXPECT_FALSE(form->mnuOptionsShowRuler->isChecked());
    form->mnuOptionsShowRuler->trigger();
    EXPECT_TRUE(h().isVisible());
    EXPECT_TRUE(v().isVisible());
    EXPECT_EQ(h().pos(), QPoint(70, 90));
    // Showing the shown ones again changes nothing.
    form->ShowRulers(true);
    EXPECT_EQ(h().pos(), QPoint(70, 90));
    QTest::mouseClick(form->chkShowRulers, Qt::LeftButton);
    EXPECT_FALSE(h().isVisible());
    EXPECT_FALSE(form->mnuOptionsShowRuler->isChecked());
    form->mnuExit->trigger();
    EXPECT_EQ(saved("ShowRuler"), "False");
}

TEST_F(RulersTest, TheStartHandleStopsAtTheMinimumAndResumesPastTheStop) {
    h().move(100, 200);
    QApplication::processEvents();
    QWidget* handle = h().picDrag[0];
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(5, 10), QPointF(), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(handle, &press);
    QMouseEvent move(QEvent::MouseMove, QPointF(205, 10), QPointF(), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(handle, &move);
    EXPECT_EQ(h().length(), 301);
    EXPECT_EQ(h().geometry(), QRect(232, 200, 301, 41));
    QMouseEvent further(QEvent::MouseMove, QPointF(250, 10), QPointF(), Qt::NoButton, Qt::LeftButton,
                        Qt::NoModifier);
    QApplication::sendEvent(handle, &further);
    EXPECT_EQ(h().length(), 301);
    QMouseEvent back(QEvent::MouseMove, QPointF(-15, 10), QPointF(), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(handle, &back);
    EXPECT_EQ(h().length(), 321);
    EXPECT_EQ(h().x(), 212);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(-15, 10), QPointF(), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(handle, &release);
}

TEST_F(RulersTest, ALockedRulerDraggedByItsTitleMovesOnlyAcrossItsAxis) {
    h().SetLockMode(kLockScreen);
    h().picTitlebar_MouseDown(QPoint(300, 10));
    h().picTitlebar_MouseMove(QPoint(360, 130));
    EXPECT_EQ(h().geometry(), QRect(0, 120, 1024, 41));
    h().picTitlebar_MouseUp();
    v().picTitlebar_MouseDown(QPoint(10, 300));
    v().picTitlebar_MouseMove(QPoint(50, 360));
    EXPECT_EQ(v().geometry(), QRect(40, 60, 57, 433));  // free: both ways
}

TEST_F(RulersTest, ThePointerTickShowsCoordinatesMeasuresAndRepaintsNothingWhileStill) {
    h().move(150, 500);
    v().move(600, 80);
    QApplication::processEvents();
    fake.pointer = Point{400, 300};
    h().tmrMousePosition_Timer();
    EXPECT_EQ(h().lblMousePosition->text().toStdString(), "250,220");
    EXPECT_EQ(h().highlight(), 250);
    EXPECT_EQ(v().highlight(), 220);

    h().ApplyScaleMode(1);
    h().tmrMousePosition_Timer();
    EXPECT_EQ(h().lblMousePosition->text().toStdString(), "400,300");
    EXPECT_EQ(h().legendOffset(), -150);
    EXPECT_EQ(v().legendOffset(), -80);
    EXPECT_EQ(h().stripToRuler(h().highlight()), 250);  // the pointer's column of the ruler
    // Every move re-places the strip, so absolute numbers stay true.
    h().move(300, 500);
    QApplication::processEvents();
    EXPECT_EQ(h().legendOffset(), -300);
    h().move(150, 500);
    QApplication::processEvents();

    fake.pointer = Point{100, 100};
    fake.pressKeys(KeyStates{true, false, true});
    h().tmrMousePosition_Timer();
    fake.pointer = Point{250, 160};
    h().tmrMousePosition_Timer();
    EXPECT_EQ(h().lblMeasure->text().toStdString(), "150 X 60");
    EXPECT_TRUE(h().lblMeasure->isVisibleTo(&h()));
    EXPECT_EQ(h().measureLine(), (std::pair{100, 250}));
    EXPECT_EQ(v().measureLine(), (std::pair{100, 160}));

    QApplication::processEvents();
    PaintCounter counter;
    h().picLegend->installEventFilter(&counter);
    h().lblMousePosition->installEventFilter(&counter);
    fake.pressKeys(KeyStates{false, true, false});  // right button: cancelled
    h().tmrMousePosition_Timer();
    EXPECT_FALSE(v().measureLine());
    EXPECT_EQ(h().lblMeasure->text().toStdString(), "0 X 0");
    QApplication::processEvents();
    counter.paints = 0;
    for (int i = 0; i < 5; ++i) h().tmrMousePosition_Timer();
    QApplication::processEvents();
    EXPECT_EQ(counter.paints, 0);
}

TEST_F(RulersTest, PlacesLengthsAndModeSurviveARestartAndALockedRulerSavesItsFreePlace) {
    h().move(30, 200);
    v().move(500, 60);
    QApplication::processEvents();
    h().cmdMenu_Click();
    h().MenuControl1->mnuPopupModeAbsolute->trigger();
    h().MenuControl1->MenuPopup->hide();
    EXPECT_TRUE(h().MenuControl1->mnuPopupModeAbsolute->isChecked());
    h().SetLockMode(kLockScreen);
    restart();
    EXPECT_EQ(h().geometry(), QRect(30, 200, 433, 41));
    EXPECT_EQ(v().geometry(), QRect(500, 60, 57, 433));
    EXPECT_EQ(h().lockMode(), kLockFree);
    EXPECT_EQ(g.gRulerMode, 1);
    EXPECT_TRUE(h().MenuControl1->mnuPopupModeAbsolute->isChecked());
    EXPECT_FALSE(h().MenuControl1->mnuPopupModeRelative->isChecked());
    EXPECT_EQ(h().legendOffset(), -30);
}

}  // namespace
}  // namespace sw
