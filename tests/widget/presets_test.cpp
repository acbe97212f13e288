// Size presets: the buttons and menu built from the slots, applying a slot, and
// the preset editor's OK, Cancel and refusals.
#include <functional>

#include <QAction>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <QToolButton>

#include "control/frmpresets.h"
#include "fixture.h"

namespace sw {
namespace {

class PresetsTest : public FormTest {
protected:
    // Opens the editor from the menu and runs `act` on it while it is shown modally.
    void edit(const std::function<void(frmPresets&)>& act) {
        bool ran = false;
        QTimer::singleShot(0, form.get(), [&] {
            auto* editor = dynamic_cast<frmPresets*>(QApplication::activeModalWidget());
            ASSERT_NE(editor, nullptr);
            ran = true;
            act(*editor);
        });
        form->mnuEditPresets->trigger();
        EXPECT_TRUE(ran);
    }
    std::string placedSize(int w, int h) const {
        return "placeWindow " + std::to_string(target) + " 21 21 " + std::to_string(w) + " " + std::to_string(h);
    }
};

TEST_F(PresetsTest, TheDefaultSlotsGiveFiveEntriesAndFiveDisabledButtons) {
    for (int i = 0; i < 10; ++i) {
        EXPECT_EQ(form->mnuPreset[i]->isVisible(), i < 5) << i;
        EXPECT_EQ(form->cmdPreset[i]->isEnabled(), i < 5) << i;
    }
    EXPECT_EQ(form->mnuPreset[2]->text(), "1024x768");
    EXPECT_EQ(form->cmdPreset[4]->toolTip(), "Resize Target Window to 1280x1024");
    EXPECT_EQ(form->cmdPreset[7]->toolTip(), "No Preset Allocated");

    // Half a slot is empty; slot 0 stays in the menu with its old caption.
    g.gPresetHeight[1] = 0;
    g.gPresetWidth[0] = 0;
    g.gPresetWidth[6] = -300;
    g.gPresetHeight[6] = 200;
    form->RefreshMenu();
    EXPECT_FALSE(form->mnuPreset[1]->isVisible());
    EXPECT_FALSE(form->cmdPreset[1]->isEnabled());
    EXPECT_TRUE(form->mnuPreset[0]->isVisible());
    EXPECT_EQ(form->mnuPreset[0]->text(), "640x480");
    EXPECT_FALSE(form->cmdPreset[0]->isEnabled());
    EXPECT_TRUE(form->mnuPreset[6]->isVisible());
    EXPECT_EQ(form->mnuPreset[6]->text(), "-300x200");
}

TEST_F(PresetsTest, AButtonAndAMenuEntryGiveTheTargetTheSizeAtItsPlace) {
    poll();
    fake.clearCalls();
    QTest::mouseClick(form->cmdPreset[0], Qt::LeftButton);
    EXPECT_TRUE(form->cmdFocus->hasFocus());
    form->mnuPreset[2]->trigger();
    EXPECT_EQ(fake.callsNamed("placeWindow"), (std::vector<std::string>{placedSize(640, 480), placedSize(1024, 768)}));
    EXPECT_EQ(value(4), "1024");
    EXPECT_EQ(value(5), "768");
}

TEST_F(PresetsTest, OkStoresTheBoxesWithSlotZeroCorrected) {
    edit([](frmPresets& e) {
        EXPECT_EQ(e.txtWidth[3]->text(), "1152");
        EXPECT_EQ(e.txtHeight[9]->text(), "0");
        EXPECT_TRUE(e.testAttribute(Qt::WA_WState_Visible));
        e.txtWidth[0]->setText("0");
        e.txtWidth[3]->setText("0");
        e.txtWidth[7]->setText("700");
        e.txtHeight[7]->setText("500.5");
        QTest::keyClick(e.txtHeight[7], Qt::Key_Return);  // Enter is OK
    });
    EXPECT_EQ(g.gPresetWidth[0], 640);
    EXPECT_EQ(g.gPresetWidth[3], 0);
    EXPECT_EQ(g.gPresetWidth[7], 700);
    EXPECT_EQ(g.gPresetHeight[7], 500);
    // The editor closed and the menu and buttons were built again.
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    EXPECT_FALSE(form->mnuPreset[3]->isVisible());
    EXPECT_TRUE(form->cmdPreset[7]->isEnabled());
    EXPECT_EQ(form->mnuPreset[7]->text(), "700x500");
    // Nothing reaches the store until the program ends.
    EXPECT_TRUE(fake.callsNamed("write").empty());
}

TEST_F(PresetsTest, CancelAndEscapeChangeNothing) {
    const auto before = g.gPresetWidth;
    edit([](frmPresets& e) {
        e.txtWidth[1]->setText("1");
        QTest::mouseClick(e.cmdCancel, Qt::LeftButton);
    });
    edit([](frmPresets& e) {
        e.txtWidth[1]->setText("2");
        QTest::keyClick(e.txtWidth[1], Qt::Key_Escape);
    });
    EXPECT_EQ(g.gPresetWidth, before);
}

TEST_F(PresetsTest, ABoxThatIsNotANumberIsRefusedAndNothingIsStored) {
    const auto widths = g.gPresetWidth;
    const auto heights = g.gPresetHeight;
    edit([](frmPresets& e) {
        e.txtWidth[1]->setText("999");
        e.txtHeight[4]->setText("12 cm");
        QTest::mouseClick(e.cmdOk, Qt::LeftButton);
        EXPECT_EQ(e.refusal(), "Not a number");
        EXPECT_TRUE(e.isVisible());
        EXPECT_EQ(e.focusWidget(), e.txtHeight[4]);
        EXPECT_EQ(e.txtHeight[4]->selectedText(), "12 cm");
        e.txtHeight[4]->setText("");
        QTest::mouseClick(e.cmdOk, Qt::LeftButton);
        EXPECT_EQ(e.refusal(), "Type a number");
        e.txtHeight[4]->setText("4294967296");
        QTest::mouseClick(e.cmdOk, Qt::LeftButton);
        EXPECT_EQ(e.refusal(), "Number out of range");
        QTest::mouseClick(e.cmdCancel, Qt::LeftButton);
    });
    EXPECT_EQ(g.gPresetWidth, widths);
    EXPECT_EQ(g.gPresetHeight, heights);
}

TEST_F(PresetsTest, TheEditorIsCentredOnTheScreenAndKeptOnTop) {
    edit([this](frmPresets& e) {
        EXPECT_EQ(e.size(), QSize(136, 277));
        EXPECT_EQ(e.pos(), QPoint(444, 246));
        EXPECT_FALSE(fake.callsNamed("setTopmost " + std::to_string(nativeHandle(&e)) + " 1").empty());
        // Clipped to a rounded rectangle: the corners are not part of the window.
        EXPECT_FALSE(e.mask().contains(QPoint(0, 0)));
        EXPECT_TRUE(e.mask().contains(QPoint(68, 130)));
        e.reject();
    });
}

}  // namespace
}  // namespace sw
