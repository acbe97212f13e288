// The layout view on the main window: the image follows the target, a drag
// moves the target one placement per mouse move, folding changes the height.
#include <QAction>
#include <QFrame>
#include <QMenu>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include "app/numbers.h"
#include "fixture.h"

namespace sw {
namespace {

class LayoutTest : public FormTest {
protected:
    // Counts how often the image is moved or resized: a still target must not.
    class GeometryCounter : public QObject {
    public:
        int changes = 0;
        bool eventFilter(QObject*, QEvent* e) override {
            if (e->type() == QEvent::Move || e->type() == QEvent::Resize) ++changes;
            return false;
        }
    };

    ViewScale scale() const {
        const QRect inner = form->picScreen->contentsRect();
        return MakeViewScale(ScreenMetrics{1024, 768, 15, 15}, inner.width() * 15.0, inner.height() * 15.0);
    }
    QRect expectedImage(const Rect& r) const {
        const ViewRect v = ScreenToView(r, scale());
        const QPoint o = form->picScreen->contentsRect().topLeft();
        return QRect(o.x() + DesignPixels(v.left), o.y() + DesignPixels(v.top), DesignPixels(v.width),
                     DesignPixels(v.height));
    }
};

TEST_F(LayoutTest, TheImageFollowsTheTargetAndAStillTargetMovesNothing) {
    EXPECT_EQ(form->height(), 175);  // layout shown: 1320 + 1181.25 + 120 twips
    EXPECT_EQ(form->picScreen->height(), 79);
    poll();
    EXPECT_EQ(form->imgWindow->geometry(), expectedImage(Rect{21, 21, 821, 621}));

    GeometryCounter counter;
    form->imgWindow->installEventFilter(&counter);
    poll();
    poll();
    QApplication::processEvents();
    EXPECT_EQ(counter.changes, 0);

    fake.window(target)->rect = Rect{-4, -4, 1028, 772};
    poll();
    EXPECT_EQ(form->imgWindow->geometry(), expectedImage(Rect{-4, -4, 1028, 772}));
    EXPECT_GT(counter.changes, 0);

    // Hidden, the view is left alone.
    form->mnuHide_Click();
    fake.window(target)->rect = Rect{100, 100, 200, 200};
    poll();
    EXPECT_EQ(form->imgWindow->geometry(), expectedImage(Rect{-4, -4, 1028, 772}));
}

TEST_F(LayoutTest, DraggingTheImageMovesTheTargetByTheScaledDistance) {
    poll();
    const ViewRect start = ScreenToView(Rect{21, 21, 821, 621}, scale());
    fake.clearCalls();
    const QPoint grab(5, 4);
    QTest::mousePress(form->imgWindow, Qt::LeftButton, {}, grab);
    EXPECT_TRUE(form->mDragging);
    for (int step = 1; step <= 3; ++step) {
        QMouseEvent move(QEvent::MouseMove, QPointF(grab + QPoint(10, 2)), form->imgWindow->mapToGlobal(QPointF(grab + QPoint(10, 2))),
                         Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(form->imgWindow, &move);
        // The poll neither fights the mouse nor undoes the values the drag wrote.
        poll();
    }
    const Point at = ViewToScreen(start.left + 3 * 150, start.top + 3 * 30, scale());
    EXPECT_EQ(value(0), std::to_string(at.x));
    EXPECT_EQ(value(1), std::to_string(at.y));
    const auto placements = fake.callsNamed("placeWindow");
    ASSERT_EQ(placements.size(), 3u);
    EXPECT_EQ(placements.back(), "placeWindow " + std::to_string(target) + " " + std::to_string(at.x) + " " +
                                     std::to_string(at.y) + " 800 600");
    EXPECT_EQ(fake.window(target)->rect, (Rect{at.x, at.y, at.x + 800, at.y + 600}));

    // Released anywhere, the drag ends and the image goes where the target is.
    QTest::mouseRelease(form->imgWindow, Qt::LeftButton, {}, QPoint(-300, 900));
    EXPECT_FALSE(form->mDragging);
    poll();
    EXPECT_EQ(form->imgWindow->geometry(), expectedImage(fake.window(target)->rect));
}

TEST_F(LayoutTest, ARightClickOnTheImageOpensTheMenuAndStartsNoDrag) {
    poll();
    fake.clearCalls();
    QTest::mousePress(form->imgWindow, Qt::RightButton, {}, QPoint(3, 3));
    EXPECT_TRUE(form->mnuPopup->isVisible());
    EXPECT_FALSE(form->mDragging);
    QMouseEvent move(QEvent::MouseMove, QPointF(20, 20), form->imgWindow->mapToGlobal(QPointF(20, 20)),
                     Qt::NoButton, Qt::RightButton, Qt::NoModifier);
    QApplication::sendEvent(form->imgWindow, &move);
    EXPECT_TRUE(fake.callsNamed("placeWindow").empty());
    form->mnuPopup->hide();
}

TEST_F(LayoutTest, TheSwitchAndTheMenuEntryFoldTheViewTogether) {
    QTest::mouseClick(form->chkShowLayout, Qt::LeftButton);
    EXPECT_FALSE(form->mnuOptionsShowLayout->isChecked());
    EXPECT_EQ(form->height(), 86);  // 870 + 300 + 120 twips
    EXPECT_TRUE(form->cmdFocus->hasFocus());

    form->mnuOptionsShowLayout_Click();
    EXPECT_TRUE(form->mnuOptionsShowLayout->isChecked());
    EXPECT_TRUE(form->chkShowLayout->isChecked());
    EXPECT_EQ(form->height(), 175);

    form->mnuOptionsShowLayout->trigger();  // as chosen from the menu
    EXPECT_FALSE(form->chkShowLayout->isChecked());
    EXPECT_EQ(form->height(), 86);
}

TEST_F(LayoutTest, ValuesWaitForAPlacementToLandButNotForever) {
    poll();
    fake.deferPlacements = true;
    QTest::mouseClick(form->cmdZeroWindow, Qt::LeftButton);
    poll();  // the window manager has not moved it yet: the values stay as sent
    EXPECT_EQ(value(0), "0");
    EXPECT_EQ(value(1), "0");
    fake.landPlacements();
    poll();
    EXPECT_EQ(form->dimensionLabels(), (DimensionLabels{"0", "0", "800", "600", "800", "600"}));

    // A window that never takes the placement shows where it really is.
    QTest::mouseClick(form->cmdZeroWindow, Qt::LeftButton);
    fake.window(target)->rect = Rect{5, 5, 805, 605};
    poll();
    EXPECT_EQ(value(0), "0");
    QTest::qWait(static_cast<int>(Form1::kPlacementLanding.count()) + 50);
    poll();
    EXPECT_EQ(value(0), "5");
}

}  // namespace
}  // namespace sw
