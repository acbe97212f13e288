// The entry panel: opening over a value, OK, Cancel, Enter and Esc, focus loss,
// Right and Bottom edits, refusals; and the window commands that share its
// placement call.
#include <QFrame>
#include <QPushButton>
#include <QTest>
#include <QToolButton>

#include "fixture.h"

namespace sw {
namespace {

class EntryPanelTest : public FormTest {
protected:
    void SetUp() override {
        FormTest::SetUp();
        poll();
        fake.clearCalls();
    }
    void open(int index) { QTest::mouseClick(form->lblWindowDimension[index], Qt::LeftButton); }
    bool panelOpen() const { return form->picValueEntry->isVisible(); }
    void type(const QString& text) {
        form->txtValue->selectAll();
        form->txtValue->insert(text);
    }
    std::string placed(int l, int t, int w, int h) const {
        return "placeWindow " + std::to_string(target) + " " + std::to_string(l) + " " + std::to_string(t) + " " +
               std::to_string(w) + " " + std::to_string(h);
    }
};

TEST_F(EntryPanelTest, OpensOverTheValueWithItSelected) {
    QTest::mouseClick(form->Label1[4], Qt::LeftButton);
    ASSERT_TRUE(panelOpen());
    EXPECT_EQ(form->mEditIndex, 4);
    EXPECT_EQ(form->picValueEntry->pos(), QPoint(form->Label1[4]->x(), form->Label1[4]->geometry().bottom() + 1));
    EXPECT_EQ(form->txtValue->text(), "800");
    EXPECT_EQ(form->txtValue->selectedText(), "800");
    EXPECT_TRUE(form->txtValue->hasFocus());
}

TEST_F(EntryPanelTest, OkAppliesEachDimensionInOnePlacement) {
    struct Case {
        int index;
        const char* text;
        Placement expected;
    };
    for (const Case& c : {Case{0, "100", {100, 21, 800, 600}}, Case{1, "-5", {21, -5, 800, 600}},
                          Case{4, "640", {21, 21, 640, 600}}, Case{5, "480", {21, 21, 800, 480}},
                          Case{2, "100.5", {21, 21, 79, 600}}, Case{3, "100.5", {21, 21, 800, 80}}}) {
        poll();  // the monitor rewrites the labels from the window
        fake.clearCalls();
        open(c.index);
        type(c.text);
        QTest::mouseClick(form->cmdOk, Qt::LeftButton);
        EXPECT_FALSE(panelOpen()) << c.index;
        const Placement& p = c.expected;
        EXPECT_EQ(fake.callsNamed("placeWindow"), std::vector<std::string>{placed(p.left, p.top, p.width, p.height)})
            << c.index;
        poll();  // sees the placement land
        fake.window(target)->rect = Rect{21, 21, 821, 621};
    }
}

TEST_F(EntryPanelTest, EnterIsOkAndEscapeIsCancel) {
    open(4);
    type("700");
    QTest::keyClick(form->txtValue, Qt::Key_Return);
    EXPECT_FALSE(panelOpen());
    EXPECT_EQ(value(4), "700");
    EXPECT_EQ(fake.callsNamed("placeWindow").size(), 1u);

    open(0);
    type("5");
    QTest::keyClick(form->txtValue, Qt::Key_Escape);
    EXPECT_FALSE(panelOpen());
    EXPECT_EQ(value(0), "21");
    EXPECT_EQ(fake.callsNamed("placeWindow").size(), 1u);

    open(0);
    type("5");
    QTest::mouseClick(form->cmdCancel, Qt::LeftButton);
    EXPECT_FALSE(panelOpen());
    EXPECT_EQ(value(0), "21");
}

TEST_F(EntryPanelTest, TextThatIsNotANumberIsRefusedVisiblyAndChangesNothing) {
    for (const char* text : {"abc", "", "99999999999", "12,5"}) {
        open(4);
        type(text);
        QTest::keyClick(form->txtValue, Qt::Key_Return);
        EXPECT_TRUE(panelOpen()) << text;
        EXPECT_FALSE(form->valueRefusal().empty()) << text;
        EXPECT_EQ(form->txtValue->selectedText(), form->txtValue->text()) << text;
        EXPECT_EQ(form->dimensionLabels(), (DimensionLabels{"21", "21", "821", "621", "800", "600"})) << text;
        EXPECT_TRUE(fake.callsNamed("placeWindow").empty()) << text;
        QTest::keyClick(form->txtValue, Qt::Key_Escape);
    }
    // After a refusal a good value still goes through.
    open(4);
    type("x");
    QTest::keyClick(form->txtValue, Qt::Key_Return);
    type("300");
    QTest::keyClick(form->txtValue, Qt::Key_Return);
    EXPECT_FALSE(panelOpen());
    EXPECT_EQ(fake.callsNamed("placeWindow"), std::vector<std::string>{placed(21, 21, 300, 600)});
}

TEST_F(EntryPanelTest, ClosesWhenTheFocusOrTheForegroundMovesAway) {
    open(1);
    form->LoseFocus();
    EXPECT_FALSE(panelOpen());

    open(1);
    QTest::mouseClick(form.get(), Qt::LeftButton, {}, QPoint(230, 5));
    EXPECT_FALSE(panelOpen());

    // Another application comes to the foreground while a value is being edited.
    open(1);
    QWidget elsewhere;
    elsewhere.show();
    elsewhere.activateWindow();
    QApplication::processEvents();
    ASSERT_FALSE(form->isActiveWindow());
    poll();
    EXPECT_FALSE(panelOpen());
    EXPECT_TRUE(fake.callsNamed("placeWindow").empty());
}

TEST_F(EntryPanelTest, AClickOnAnotherValueMovesThePanelThere) {
    open(1);
    open(5);
    ASSERT_TRUE(panelOpen());
    EXPECT_EQ(form->mEditIndex, 5);
    EXPECT_EQ(form->txtValue->text(), "600");
    EXPECT_EQ(form->picValueEntry->x(), form->Label1[5]->x());
}

TEST_F(EntryPanelTest, ATargetThatClosedMovesNothingElseAndThenReadsAsZeros) {
    const WindowId other = fake.addWindow("Other", Rect{300, 300, 400, 400});
    fake.closeWindow(target);
    open(0);
    type("50");
    QTest::keyClick(form->txtValue, Qt::Key_Return);
    EXPECT_EQ(value(0), "50");
    // The placement goes to the handle that vanished, and to nothing else.
    EXPECT_EQ(fake.callsNamed("placeWindow"), std::vector<std::string>{placed(50, 21, 800, 600)});
    EXPECT_EQ(fake.window(other)->rect, (Rect{300, 300, 400, 400}));
    // The next poll shows the truth at once: there is nothing to wait for.
    poll();
    EXPECT_EQ(form->dimensionLabels(), (DimensionLabels{"0", "0", "0", "0", "0", "0"}));
}

TEST_F(EntryPanelTest, StateButtonsAndOriginActOnTheTarget) {
    const std::string id = std::to_string(target);
    QTest::mouseClick(form->optWindowControl[1], Qt::LeftButton);
    QTest::mouseClick(form->optWindowControl[2], Qt::LeftButton);
    QTest::mouseClick(form->optWindowControl[0], Qt::LeftButton);
    EXPECT_EQ(fake.callsNamed("showWindow"),
              (std::vector<std::string>{"showWindow " + id + " 6", "showWindow " + id + " 3", "showWindow " + id + " 1"}));
    EXPECT_TRUE(form->cmdFocus->hasFocus());

    // "0,0" while maximised keeps the maximised size.
    poll();
    poll();  // the restore has landed: the state is there and the frame is still
    fake.showWindow(target, ShowCommand::ShowMaximised);
    poll();
    fake.clearCalls();
    QTest::mouseClick(form->cmdZeroWindow, Qt::LeftButton);
    EXPECT_EQ(value(0), "0");
    EXPECT_EQ(value(1), "0");
    EXPECT_EQ(fake.callsNamed("placeWindow"), std::vector<std::string>{placed(0, 0, 1024, 768)});
}

}  // namespace
}  // namespace sw
