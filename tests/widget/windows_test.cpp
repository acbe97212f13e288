// The program's ways out: the e-mail and web links and help, and the Qt services every backend
// shares (the desktop's opener, the notification icon).
#include <QDesktopServices>
#include <QDir>
#include <QMessageBox>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QToolButton>

#include "fixture.h"
#include "links.h"
#include "qtnotifyicon.h"
#include "qtshell.h"

namespace sw {
namespace {

using OtherWindows = App;

// What the message box now open says; the box is closed.
QString said() {
    for (QWidget* top : QApplication::topLevelWidgets()) {
        auto* box = qobject_cast<QMessageBox*>(top);
        if (box == nullptr || !box->isVisible()) continue;
        const QString text = box->text();
        box->close();
        return text;
    }
    return "<no message>";
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
    for (const char* scheme : {"mailto", "http", "file"}) {
        QDesktopServices::setUrlHandler(scheme, &opener, "open");
    }
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
    click("mailButton");
    click("webButton");
    EXPECT_EQ(fake.openedLinks, (std::vector<std::string>{Links::mailtoLink(), Links::webLink()}));
    EXPECT_NE(Links::mailtoLink().find("?Subject=Sizewise Application"), std::string::npos);
    fake.linksOpen = false;
    click("webButton");
    EXPECT_TRUE(said().startsWith("Nothing on this desktop could open"));
    menuEntry("&Contents")->trigger();
    EXPECT_TRUE(said().contains("help/index.html"));
    // Outside its ellipse the web button takes no clicks.
    EXPECT_FALSE(findWidget("webButton")->mask().contains(QPoint(1, 1)));
    EXPECT_TRUE(findWidget("webButton")->mask().contains(QPoint(32, 32)));
}

void writePage(const QTemporaryDir& dir, const QString& name, const QString& body) {
    QFile page(dir.filePath("help/" + name));
    ASSERT_TRUE(page.open(QIODevice::WriteOnly));
    page.write(("<html><head><title>" + name + "</title></head><body>" + body + "</body></html>")
                   .toUtf8());
}

TEST(Help, OneWindowOfItsOwnWithBackForwardContentsAndTheDesktopForOtherLinks) {
    QTemporaryDir dir;
    QDir(dir.path()).mkpath("help");
    writePage(dir, "index.html", "<a href='rulers.html'>Rulers</a>");
    writePage(dir, "rulers.html", "<a href='https://example.org/'>away</a>");
    QWidget window;
    fake::FakeDesktop fake;
    Links links(fake, dir.path().toStdString(), &window);
    for (int i = 0; i < 2; ++i) links.showHelp();
    const auto browsers = window.findChildren<QTextBrowser*>();
    ASSERT_EQ(browsers.size(), 1);
    QTextBrowser* browser = browsers[0];
    QWidget* help = browser->window();
    EXPECT_TRUE(help->isVisible());
    const auto button = [help](const char* text) {
        for (auto* b : help->findChildren<QToolButton*>()) {
            if (b->text() == text) return b;
        }
        return static_cast<QToolButton*>(nullptr);
    };
    const auto page = [browser] { return browser->source().fileName(); };
    emit browser->anchorClicked(QUrl("rulers.html"));
    EXPECT_EQ(page(), "rulers.html");
    EXPECT_EQ(help->windowTitle(), "rulers.html - Sizewise Help");
    QTest::mouseClick(button("&Back"), Qt::LeftButton);
    EXPECT_EQ(page(), "index.html");
    QTest::mouseClick(button("&Forward"), Qt::LeftButton);
    EXPECT_EQ(page(), "rulers.html");
    emit browser->anchorClicked(QUrl("https://example.org/"));
    EXPECT_EQ(fake.openedLinks, std::vector<std::string>{"https://example.org/"});
    EXPECT_EQ(page(), "rulers.html");
    QTest::mouseClick(button("&Contents"), Qt::LeftButton);
    EXPECT_EQ(page(), "index.html");
    fake.linksOpen = false;
    emit browser->anchorClicked(QUrl("https://example.org/"));
    EXPECT_TRUE(said().startsWith("Nothing on this desktop could open"));
}

}  // namespace
}  // namespace sw

#include "windows_test.moc"
