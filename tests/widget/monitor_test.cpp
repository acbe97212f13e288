// The monitor's poll: choosing the target, the title and six values, the tray
// tip and the state buttons; and the start routine's choice of the first target.
#include <QToolButton>

#include "fixture.h"

namespace sw {
namespace {

using MonitorTest = FormTest;

TEST_F(MonitorTest, ShowsTheForegroundWindowAndKeepsItWhileOwnWindowsAreActive) {
    EXPECT_EQ(value(0), "0000");
    EXPECT_EQ(title(), "Label1");

    poll();
    EXPECT_EQ(g.gTargetHwnd, target);
    EXPECT_EQ(title(), "Target");
    EXPECT_EQ(form->lblWindowText->toolTip().toStdString(), "Target");
    EXPECT_EQ(form->dimensionLabels(), (DimensionLabels{"21", "21", "821", "621", "800", "600"}));

    // Activating the main window leaves the target in place, and a change the
    // program makes to it still shows.
    fake.setForeground(mainHandle());
    fake.window(target)->rect = Rect{-4, -4, 1028, 772};
    poll();
    EXPECT_EQ(g.gTargetHwnd, target);
    EXPECT_EQ(value(0), "-4");
    EXPECT_EQ(value(4), "1032");

    // Another application's window becomes the target at the next poll.
    const WindowId other = fake.addWindow("Other", Rect{0, 0, 10, 10});
    fake.setForeground(other);
    poll();
    EXPECT_EQ(g.gTargetHwnd, other);
    EXPECT_EQ(title(), "Other");
}

TEST_F(MonitorTest, ASteadyPollAsksTheDesktopForTheForegroundAndTheTargetOnly) {
    poll();
    fake.clearCalls();
    poll();
    EXPECT_EQ(fake.calls, (std::vector<std::string>{"foregroundWindow", "describeWindow " + std::to_string(target)}));
}

TEST_F(MonitorTest, UntitledWindowsNeverReplaceASeenTarget) {
    poll();
    const WindowId desktopWindow = fake.addWindow("", Rect{0, 0, 1024, 768});
    fake.setForeground(desktopWindow);
    poll();
    EXPECT_EQ(g.gTargetHwnd, target);
    EXPECT_EQ(title(), "Target");
    fake.setForeground(0);
    poll();
    EXPECT_EQ(g.gTargetHwnd, target);
}

TEST_F(MonitorTest, AVanishedTargetReadsAsZerosAndKeepsTheButtons) {
    poll();
    ASSERT_TRUE(form->optWindowControl[0]->isChecked());
    fake.closeWindow(target);
    poll();
    poll();
    EXPECT_EQ(title(), "");
    EXPECT_EQ(form->dimensionLabels(), (DimensionLabels{"0", "0", "0", "0", "0", "0"}));
    EXPECT_EQ(g.gWindowState, 0);
    EXPECT_TRUE(form->optWindowControl[0]->isChecked());
}

TEST_F(MonitorTest, LongTitlesAreCutAndTheTipIsSentOnlyOnChange) {
    poll();
    poll();
    poll();
    EXPECT_EQ(fake.callsNamed("iconModify"), std::vector<std::string>{"iconModify WATCHING WINDOW: Target"});
    EXPECT_EQ(g.gTrayIcon.szTip, "WATCHING WINDOW: Target");

    // 300 characters of two bytes each: 254 are shown, 63 go into the tip.
    std::string longTitle;
    for (int i = 0; i < 300; ++i) longTitle += "é";
    fake.window(target)->title = longTitle;
    poll();
    EXPECT_EQ(form->lblWindowText->text().size(), 254);
    EXPECT_EQ(QString::fromStdString(fake.iconTip).size(), 63);
    EXPECT_TRUE(QString::fromStdString(fake.iconTip).startsWith("WATCHING WINDOW: éé"));
    EXPECT_EQ(fake.callsNamed("iconModify").size(), 2u);
}

TEST_F(MonitorTest, StateButtonsFollowTheTargetAndResendOnlyOnChange) {
    poll();
    EXPECT_TRUE(form->optWindowControl[0]->isChecked());
    fake.clearCalls();

    fake.window(target)->showState = kShowStateMaximised;
    poll();
    poll();
    EXPECT_TRUE(form->optWindowControl[2]->isChecked());
    // The selection runs the button's action once: the command goes out again.
    EXPECT_EQ(fake.callsNamed("showWindow"), std::vector<std::string>{"showWindow " + std::to_string(target) + " 3"});

    // A minimised target reads -32000 and selects the minimise button.
    fake.showWindow(target, ShowCommand::Minimise);
    poll();
    EXPECT_EQ(value(0), "-32000");
    EXPECT_EQ(value(1), "-32000");
    EXPECT_TRUE(form->optWindowControl[1]->isChecked());

    // While the main window is hidden the buttons are left alone.
    form->mnuHide_Click();
    fake.window(target)->showState = kShowStateNormal;
    poll();
    EXPECT_TRUE(form->optWindowControl[1]->isChecked());
}

class StartTest : public ::testing::Test {
protected:
    fake::FakeDesktop fake;
    Desktop desktop = fake.desktop();
    Module1 g;
    void TearDown() override { delete g.gMainForm; }
};

TEST_F(StartTest, ATitledForegroundWindowNeedsNoKeys) {
    const WindowId shell = fake.addWindow("shell", Rect{0, 0, 100, 100});
    fake.setForeground(shell);
    Main(g, desktop, nullptr);
    EXPECT_EQ(g.gTargetHwnd, shell);
    EXPECT_TRUE(fake.callsNamed("sendForegroundToBack").empty());
    ASSERT_NE(g.gMainForm, nullptr);
    EXPECT_TRUE(g.gMainForm->isVisible());
}

TEST_F(StartTest, UntitledWindowsArePushedBackUntilATitledOneComes) {
    const WindowId titled = fake.addWindow("editor", Rect{0, 0, 100, 100});
    const WindowId panel = fake.addWindow("", Rect{0, 0, 1024, 20});
    const WindowId desk = fake.addWindow("", Rect{0, 0, 1024, 768});
    fake.setForeground(desk);
    Main(g, desktop, nullptr);
    EXPECT_EQ(g.gTargetHwnd, titled);
    EXPECT_EQ(fake.callsNamed("sendForegroundToBack").size(), 2u);
    (void)panel;
}

TEST_F(StartTest, OnlyUntitledWindowsGiveUpAfterTenAttempts) {
    fake.setForeground(fake.addWindow("", Rect{}));
    fake.addWindow("", Rect{});
    Main(g, desktop, nullptr);
    EXPECT_EQ(fake.callsNamed("sendForegroundToBack").size(), 10u);
    EXPECT_NE(g.gMainForm, nullptr);
}

}  // namespace
}  // namespace sw
