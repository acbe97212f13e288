// The program's other windows from the main window: the about window and the
// start-up splash, the e-mail and web links, and help.
#include <QDesktopServices>
#include <QDir>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QTimer>
#include <QToolButton>

#include "fixture.h"
#include "links.h"
#include "qtnotifyicon.h"
#include "qtshell.h"

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

// What the message box that opener opens says; the box is closed.
QString Said(const std::function<void()>& opener) {
    QString said;
    OnModal([&said](QWidget* box) {
        said = static_cast<QMessageBox*>(box)->text();
        box->close();
    });
    opener();
    return said;
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
        // The menu may open a moment later, once the closed splash has let the
        // application go inactive; it is closed once open.
        auto* menu = Find<QMenu>("mnuPopup");
        const auto close = [menu] { QTimer::singleShot(0, menu, &QMenu::hide); };
        if (menu->isVisible()) close();
        QObject::connect(menu, &QMenu::aboutToShow, menu, close);
    });
    app->Main();
    EXPECT_TRUE(form().isVisible());
}

// Takes the links the desktop's opener would be given.
class Opener : public QObject {
    Q_OBJECT
public:
    std::vector<QUrl> opened;
    Q_INVOKABLE void open(const QUrl& url) { opened.push_back(url); }
};

TEST(QtDesktop, LinksReachTheOpenerInTheirProperFormAndTheIconTellsClicksOnceAHandlerIsThere) {
    Opener opener;
    for (const char* scheme : {"mailto", "http", "file"})
        QDesktopServices::setUrlHandler(scheme, &opener, "open");
    qt::QtShell shell;
    for (const char* link :
         {"Mailto:us@example.org?Subject=Sizewise Application", "www.example.org", "/"}) {
        EXPECT_TRUE(shell.openLink(link)) << link;
    }
    for (const char* scheme : {"mailto", "http", "file"}) QDesktopServices::unsetUrlHandler(scheme);
    ASSERT_EQ(opener.opened.size(), 3u);
    EXPECT_EQ(opener.opened[0].toString(), "mailto:us@example.org?Subject=Sizewise Application");
    EXPECT_EQ(opener.opened[1].toString(), "http://www.example.org");
    EXPECT_EQ(opener.opened[2], QUrl::fromLocalFile("/"));
    std::vector<TrayClick> clicks;
    qt::QtNotifyIcon icon{QIcon()};
    icon.activated(QSystemTrayIcon::Trigger);
    icon.add("tip", [&](TrayClick click) { clicks.push_back(click); });
    for (const auto reason : {QSystemTrayIcon::Trigger, QSystemTrayIcon::DoubleClick,
                              QSystemTrayIcon::MiddleClick, QSystemTrayIcon::Context}) {
        icon.activated(reason);
    }
    EXPECT_EQ(clicks, (std::vector<TrayClick>{TrayClick::Activate, TrayClick::Context}));
}

TEST_F(OtherWindows, LinksOpenOrSaySoAndHelpSaysWhereItLooked) {
    start();
    click("cmdMailto");
    click("cmdWebLink");
    EXPECT_EQ(fake.callsNamed("openLink"),
              (std::vector<std::string>{"openLink " + Links::MailtoLink(),
                                        "openLink " + Links::WebLink()}));
    EXPECT_NE(Links::MailtoLink().find("?Subject=Sizewise Application"), std::string::npos);
    fake.linksOpen = false;
    EXPECT_TRUE(
        Said([&] { click("cmdWebLink"); }).startsWith("Nothing on this desktop could open"));
    EXPECT_TRUE(Said([] { MenuEntry("&Contents")->trigger(); }).contains("help/index.html"));
    // Outside its ellipse the web button takes no clicks.
    EXPECT_FALSE(Find("cmdWebLink")->mask().contains(QPoint(1, 1)));
    EXPECT_TRUE(Find("cmdWebLink")->mask().contains(QPoint(32, 32)));
}

TEST(Help, TheContentsOpenInOneHelpWindowOfTheProgramsOwn) {
    QTemporaryDir dir;
    QDir(dir.path()).mkpath("help");
    QFile page(dir.filePath("help/index.html"));
    ASSERT_TRUE(page.open(QIODevice::WriteOnly) && page.write("<p>The help of Sizewise</p>") > 0);
    page.close();
    QWidget form;
    fake::FakeDesktop fake;
    Links links(&form, fake, dir.path().toStdString());
    for (int i = 0; i < 2; ++i) links.ShowHelpContents();
    const auto browsers = form.findChildren<QTextBrowser*>();
    ASSERT_EQ(browsers.size(), 1);
    EXPECT_TRUE(browsers[0]->window()->isVisible() &&
                browsers[0]->toPlainText() == "The help of Sizewise");
}

}  // namespace
}  // namespace sw

#include "windows_test.moc"
