// The window utilities: the topmost switch and centring on the screen.
#include "app/windowutils.h"

#include <QApplication>
#include <QWidget>

#include "fixture.h"

namespace sw {
namespace {

TEST(WindowUtils, TopmostSwitchGoesToTheWindowSystem) {
    fake::FakeDesktop fake;
    SetTopmost(fake, nullptr, true);
    EXPECT_TRUE(fake.calls.empty());

    QWidget form;
    form.show();
    QApplication::processEvents();
    SetTopmost(fake, &form, false);
    EXPECT_EQ(fake.calls, std::vector<std::string>{"setTopmost " + std::to_string(nativeHandle(&form)) + " 0"});
}

TEST(WindowUtils, CentreFormMovesOnlyAlongTheAxesAskedFor) {
    fake::FakeDesktop fake;  // 1024 x 768
    QWidget form;
    form.setFixedSize(200, 100);
    form.move(10, 20);
    form.show();
    QApplication::processEvents();
    const QSize frame = form.frameGeometry().size();

    CentreForm(fake, &form, false, false);
    EXPECT_EQ(form.frameGeometry().topLeft(), QPoint(10, 20));
    CentreForm(fake, &form, false, true);
    EXPECT_EQ(form.frameGeometry().topLeft(), QPoint(10, (768 - frame.height()) / 2));
    CentreForm(fake, &form, true, true);
    EXPECT_EQ(form.frameGeometry().topLeft(), QPoint((1024 - frame.width()) / 2, (768 - frame.height()) / 2));
}

}  // namespace
}  // namespace sw
