// The program's other windows from the main window: the about window and the
// start-up splash, the e-mail and web links, and help.
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>

#include "fixture.h"
#include "links.h"

namespace sw {
namespace {

using OtherWindows = App;

// Runs act on the modal window that the next call opens, once it is open.
void OnModal(std::function<void(QWidget*)> act) {
    QTimer::singleShot(0, [act] {
        if (QTest::qWaitFor([] { return QApplication::activeModalWidget() != nullptr; })) {
            act(QApplication::activeModalWidget());
        }
    });
}

TEST_F(OtherWindows, AboutHasCloseTheSplashClosesItselfOrOnTheIconsRightClick) {
    start();
    OnModal([](QWidget* about) {
        EXPECT_EQ(about->objectName(), "frmSplash");
        auto* close = about->findChild<QPushButton*>("cmdClose");
        EXPECT_TRUE(close->isVisible());
        QTest::qWait(50);
        EXPECT_TRUE(about->isVisible());
        QTest::mouseClick(close, Qt::LeftButton);
    });
    MenuEntry("&About")->trigger();
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
    app.reset();
    // With the splash: a right click on the icon closes it and opens the menu,
    // and loading goes on once the menu has closed.
    app = std::make_unique<Sizewise>(fake.desktop(), Options{true}, [this](int s) { ended = s; });
    app->monitor().stop();
    OnModal([this](QWidget* splash) {
        EXPECT_FALSE(splash->findChild<QPushButton*>("cmdClose")->isVisible());
        fake.iconHandler(TrayClick::Context);
        EXPECT_FALSE(splash->isVisible());
        QTimer::singleShot(0, [] { Find<QMenu>("mnuPopup")->hide(); });
    });
    app->Main();
    EXPECT_TRUE(form().isVisible());
}

TEST_F(OtherWindows, LinksOpenOrSaySoAndHelpSaysWhereItLooked) {
    start();
    click("cmdMailto");
    click("cmdWebLink");
    EXPECT_EQ(fake.callsNamed("openLink"),
              (std::vector<std::string>{"openLink " + Links::MailtoLink(), "openLink " + Links::WebLink()}));
    EXPECT_NE(Links::MailtoLink().find("?Subject=Sizewise Application"), std::string::npos);
    fake.linksOpen = false;
    QString said;
    OnModal([&said](QWidget* box) {
        said = static_cast<QMessageBox*>(box)->text();
        box->close();
    });
    click("cmdWebLink");
    EXPECT_TRUE(said.startsWith("Nothing on this desktop could open")) << said.toStdString();
    OnModal([&said](QWidget* box) {
        said = static_cast<QMessageBox*>(box)->text();
        box->close();
    });
    MenuEntry("&Contents")->trigger();
    EXPECT_TRUE(said.contains("help/index.html")) << said.toStdString();
    // Outside its ellipse the web button takes no clicks.
    EXPECT_FALSE(Find("cmdWebLink")->mask().contains(QPoint(1, 1)));
    EXPECT_TRUE(Find("cmdWebLink")->mask().contains(QPoint(32, 32)));
}

}  // namespace
}  // namespace sw
