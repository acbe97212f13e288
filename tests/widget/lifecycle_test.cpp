// The main window's life: the notification icon, hiding and showing, the pop-up
// menu and the orderly shutdown.
#include <QAction>
#include <QMenu>
#include <QTest>

#include "fixture.h"

namespace sw {
namespace {

using LifecycleTest = FormTest;

TEST_F(LifecycleTest, LoadRegistersTheIconAndKeepsTheWindowOnTop) {
    EXPECT_TRUE(fake.iconAdded);
    EXPECT_EQ(fake.iconTip, "Sizewise");
    ASSERT_NE(mainHandle(), 0u);
    EXPECT_FALSE(fake.callsNamed("setTopmost " + std::to_string(mainHandle()) + " 1").empty());
    EXPECT_EQ(form->windowTitle(), "Sizewise");
}

TEST_F(LifecycleTest, TheCloseBoxAndTheIconHideAndShowInPlace) {
    form->move(120, 90);
    QApplication::processEvents();
    const QPoint before = form->pos();

    form->Unload(Form1::kUnloadControlMenu);
    EXPECT_FALSE(form->isUnloaded());
    EXPECT_TRUE(form->mHidden);
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(form->mnuHide->text(), "&Show");
    EXPECT_EQ(form->mWindowLeft, before.x() * 15);
    EXPECT_EQ(form->mWindowTop, before.y() * 15);
    EXPECT_EQ(endStatus, -1);

    fake.iconHandler(NotifyIcon::kLeftButtonDown);
    EXPECT_FALSE(form->mHidden);
    EXPECT_TRUE(form->isVisible());
    EXPECT_EQ(form->pos(), before);
    EXPECT_EQ(form->mnuHide->text(), "&Hide");

    fake.iconHandler(NotifyIcon::kLeftButtonDown);
    EXPECT_TRUE(form->mHidden);
}

TEST_F(LifecycleTest, TheIconsRightClickOpensTheMenuWithExitInBold) {
    fake.pointer = Point{300, 200};
    fake.iconHandler(NotifyIcon::kRightButtonDown);
    EXPECT_FALSE(form->mnuPopup->isVisible());
    fake.iconHandler(NotifyIcon::kRightButtonUp);
    EXPECT_TRUE(form->mnuPopup->isVisible());
    EXPECT_EQ(form->mnuPopup->defaultAction(), form->mnuExit);
    EXPECT_FALSE(fake.callsNamed("activateWindow " + std::to_string(mainHandle())).empty());
    form->mnuPopup->hide();

    // The "Menu" label opens the same menu without a default entry.
    QTest::mouseClick(form->lblMenu, Qt::LeftButton);
    EXPECT_TRUE(form->mnuPopup->isVisible());
    EXPECT_EQ(form->mnuPopup->defaultAction(), nullptr);
    QStringList entries;
    for (const QAction* a : form->mnuPopup->actions()) entries << (a->isSeparator() ? "-" : a->text());
    EXPECT_EQ(entries, (QStringList{"&Options", "-", "&Presets", "-", "&About", "&Help", "-", "&Hide", "E&xit"}));
    QStringList options;
    for (const QAction* a : form->mnuOptions->actions()) options << a->text();
    EXPECT_EQ(options, (QStringList{"Show &Window Layout", "Show &Rulers", "Edit &Presets"}));
    QStringList help;
    for (const QAction* a : form->mnuHelp->actions()) help << a->text();
    EXPECT_EQ(help, (QStringList{"&Contents"}));
    form->mnuPopup->hide();
}

TEST_F(LifecycleTest, ExitRemovesTheIconAndEndsWithStatusZeroOnce) {
    form->mnuExit->trigger();
    EXPECT_TRUE(form->isUnloaded());
    EXPECT_EQ(endStatus, 0);
    EXPECT_FALSE(fake.iconAdded);
    EXPECT_FALSE(form->tmrCheckActiveWindow->isActive());
    EXPECT_EQ(g.gMainForm, nullptr);

    // A signal arriving during the shutdown does not run it twice.
    endStatus = -1;
    form->Unload(Form1::kUnloadTaskManager);
    EXPECT_EQ(endStatus, -1);
    EXPECT_EQ(fake.callsNamed("iconRemove").size(), 1u);
}

TEST_F(LifecycleTest, ClosingFromCodeShutsDown) {
    form->close();
    EXPECT_TRUE(form->isUnloaded());
    EXPECT_EQ(endStatus, 0);
}

}  // namespace
}  // namespace sw
