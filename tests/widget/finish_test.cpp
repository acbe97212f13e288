// The main window's finishing pieces: the splash and about window, the title
// marquee and its "...", the round web button, the e-mail and web links, help,
// and the pop-up menu's entries.
#include <QAbstractButton>
#include <QAction>
#include <QElapsedTimer>
#include <QFile>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QToolButton>

#include "control/frmsplash.h"
#include "mainwindow/helpwindow.h"
#include "tests/widget/fixture.h"

namespace sw {
namespace {

using Ms = std::chrono::milliseconds;

class FinishTest : public FormTest {
protected:
    // Runs check once the about window is open, and returns how long ShowAbout took.
    qint64 showAboutWhile(bool timed, bool allowClose, std::function<void()> check) {
        bool ran = false;
        // Local, so that it cannot fire after this returns.
        QTimer look;
        look.setSingleShot(true);
        QObject::connect(&look, &QTimer::timeout, [&ran, &check] {
            ran = true;
            check();
        });
        look.start(Ms(50));
        QElapsedTimer clock;
        clock.start();
        form->ShowAbout(timed, allowClose);
        const qint64 took = clock.elapsed();
        // The window must have been open when the check came.
        EXPECT_TRUE(ran) << "the about window closed before it could be looked at";
        return took;
    }
    // Lets the event loop run for a while.
    static void runFor(int ms) {
        QElapsedTimer clock;
        clock.start();
        while (clock.elapsed() < ms) QApplication::processEvents(QEventLoop::AllEvents, 10);
    }
};

TEST_F(FinishTest, SplashHasNoCloseAndClosesItselfAfterItsTime) {
    form->mSplashTime = Ms(400);
    bool shown = false, closeShown = true, timerOn = false;
    const qint64 took = showAboutWhile(true, false, [&] {
        shown = form->mSplash != nullptr && form->mSplash->isVisible();
        closeShown = shown && form->mSplash->cmdClose->isVisible();
        timerOn = shown && form->mSplash->tmrShow->isActive();
    });
    EXPECT_TRUE(shown);
    EXPECT_FALSE(closeShown);
    EXPECT_TRUE(timerOn);
    EXPECT_GE(took, 400);
    EXPECT_EQ(form->mSplash, nullptr);
}

TEST_F(FinishTest, AboutBoxHasCloseAndStaysUntilItIsPressed) {
    bool closeShown = false, timerOn = true, stillShown = false;
    form->mSplashTime = Ms(100);
    QTimer::singleShot(Ms(600), form.get(), [&] {
        stillShown = form->mSplash != nullptr && form->mSplash->isVisible();
        if (form->mSplash) form->mSplash->cmdClose->click();
    });
    const qint64 took = showAboutWhile(false, true, [&] {
        closeShown = form->mSplash->cmdClose->isVisible();
        timerOn = form->mSplash->tmrShow->isActive();
    });
    EXPECT_TRUE(closeShown);
    EXPECT_FALSE(timerOn);
    EXPECT_TRUE(stillShown);
    EXPECT_GE(took, 600);
}

TEST_F(FinishTest, AboutShowsNameVersionAndNoticesInsideItsPanel) {
    showAboutWhile(false, true, [&] {
        const frmSplash& s = *form->mSplash;
        EXPECT_EQ(s.lblProductName->text(), "Sizewise");
        EXPECT_EQ(s.lblVersion->text(), QString("Version %1.%2.%3")
                                            .arg(SIZEWISE_VERSION_MAJOR)
                                            .arg(SIZEWISE_VERSION_MINOR)
                                            .arg(SIZEWISE_VERSION_PATCH));
        EXPECT_FALSE(s.lblCopyright->text().isEmpty());
        EXPECT_FALSE(s.lblWarning->text().isEmpty());
        for (const QLabel* l : {s.lblProductName, s.lblVersion, s.lblCopyright}) {
            EXPECT_TRUE(s.Picture1->rect().contains(l->geometry())) << l->text().toStdString();
            EXPECT_LE(l->fontMetrics().horizontalAdvance(l->text()), l->width()) << l->text().toStdString();
        }
        EXPECT_EQ(s.Image1->size(), QSize(200, 200));
        form->mSplash->cmdClose->click();
    });
}

TEST_F(FinishTest, RightButtonOnTheIconClosesTheSplashAndOpensTheMenu) {
    form->mSplashTime = Ms(5000);
    const qint64 took = showAboutWhile(true, false, [&] {
        fake.iconHandler(NotifyIcon::kRightButtonDown);
        fake.iconHandler(NotifyIcon::kRightButtonUp);
    });
    EXPECT_LT(took, 2000);
    EXPECT_TRUE(form->mnuPopup->isVisible());
    form->mnuPopup->hide();
}

TEST_F(FinishTest, RulersEntryTogglesTheSavedSwitch) {
    const bool before = form->mnuOptionsShowRuler->isChecked();
    form->mnuOptionsShowRuler->trigger();
    EXPECT_NE(form->mnuOptionsShowRuler->isChecked(), before);
    form->SaveConfig();
    EXPECT_EQ(saved("ShowRuler"), before ? "False" : "True");
}

TEST_F(FinishTest, MarqueeStepsInItsStripAndSleepsWhileResting) {
    // The load-time line leaves in 11 steps, the first message rises in 16.
    for (int i = 0; i < 11; ++i) form->tmrScroll_Timer();
    EXPECT_EQ(form->lblScroll->text(), "Sizewise");
    for (int i = 0; i < 16; ++i) form->tmrScroll_Timer();
    EXPECT_EQ(form->lblScroll->y(), 0);
    EXPECT_FALSE(form->tmrScroll->isActive());
    EXPECT_TRUE(form->tmrScrollPause->isActive());

    struct PaintCounter : QObject {
        int paints = 0;
        bool eventFilter(QObject*, QEvent* e) override {
            if (e->type() == QEvent::Paint) ++paints;
            return false;
        }
    } counter;
    runFor(50);
    form->picScroll->installEventFilter(&counter);
    form->lblScroll->installEventFilter(&counter);
    runFor(800);
    EXPECT_EQ(counter.paints, 0) << "repaints while resting";
    runFor(600);  // the pause ends and the message moves on
    EXPECT_TRUE(form->tmrScroll->isActive());
    EXPECT_GT(counter.paints, 0);
    EXPECT_LT(form->lblScroll->y(), 0);
}

TEST_F(FinishTest, EllipsisShowsExactlyWhenTheTitleEndsBeyondIt) {
    const int boundary = form->lblElipses->x();
    form->lblWindowText->resize(boundary - form->lblWindowText->x(), form->lblWindowText->height());
    form->lblWindowText_Change();
    EXPECT_FALSE(form->lblElipses->isVisible()) << "a title that just fits";
    form->lblWindowText->resize(boundary - form->lblWindowText->x() + 1, form->lblWindowText->height());
    form->lblWindowText_Change();
    EXPECT_TRUE(form->lblElipses->isVisible());

    fake.window(target)->title = "A title far too long to fit on the main window's title line";
    poll();
    EXPECT_TRUE(form->lblElipses->isVisible());
    fake.window(target)->title = "Short";
    poll();
    EXPECT_FALSE(form->lblElipses->isVisible());
}

TEST_F(FinishTest, WebButtonIsClippedToItsEllipse) {
    const QRegion mask = form->cmdWebLink->mask();
    EXPECT_EQ(form->cmdWebLink->size(), QSize(65, 65));
    EXPECT_EQ(mask.boundingRect(), QRect(5, 5, 55, 55));
    for (const QPoint inside : {QPoint(32, 32), QPoint(5, 32), QPoint(59, 32), QPoint(32, 5), QPoint(32, 59)}) {
        EXPECT_TRUE(mask.contains(inside)) << inside.x() << "," << inside.y();
    }
    for (const QPoint outside : {QPoint(8, 8), QPoint(4, 32), QPoint(60, 32), QPoint(32, 60), QPoint(56, 56)}) {
        EXPECT_FALSE(mask.contains(outside)) << outside.x() << "," << outside.y();
    }
}

TEST_F(FinishTest, ButtonsOpenTheMailAndWebLinks) {
    fake.clearCalls();
    form->cmdMailto->click();
    form->cmdWebLink->click();
    EXPECT_EQ(fake.callsNamed("openLink"),
              (std::vector<std::string>{std::string("openLink Mailto:") + SIZEWISE_EMAIL +
                                            "?Subject=Sizewise Application",
                                        std::string("openLink ") + SIZEWISE_HOMEPAGE}));
}

TEST_F(FinishTest, ALinkNothingCanOpenIsSaid) {
    fake.linksOpen = false;
    QString said;
    QTimer::singleShot(Ms(50), form.get(), [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            said = box->text();
            box->accept();
        }
    });
    form->cmdWebLink->click();
    EXPECT_TRUE(said.contains(SIZEWISE_HOMEPAGE)) << said.toStdString();
}

TEST_F(FinishTest, MissingHelpSaysWhereItLooked) {
    form->mHelpFile.clear();
    form->mHelpSearched = {"/nowhere/help/index.html", "/nowhere/share/sizewise/help/index.html"};
    QString said;
    QTimer::singleShot(Ms(50), form.get(), [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            said = box->text();
            box->accept();
        }
    });
    form->mnuHelpContents->trigger();
    EXPECT_TRUE(said.contains("/nowhere/help/index.html")) << said.toStdString();
    EXPECT_TRUE(said.contains("/nowhere/share/sizewise/help/index.html"));
    EXPECT_EQ(form->mHelpWindow, nullptr);
}

TEST_F(FinishTest, HelpOpensAtItsContentsInAWindowOfItsOwner) {
    QTemporaryDir dir;
    const QString index = dir.filePath("index.html");
    QFile f(index);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("<html><head><title>Contents</title></head><body><a href='p.html'>page</a></body></html>");
    f.close();
    form->mHelpFile = index.toStdString();
    form->mnuHelpContents->trigger();
    ASSERT_NE(form->mHelpWindow, nullptr);
    EXPECT_TRUE(form->mHelpWindow->isVisible());
    EXPECT_EQ(form->mHelpWindow->parentWidget(), form.get());
    EXPECT_EQ(form->mHelpWindow->browser->source(), QUrl::fromLocalFile(index));
    EXPECT_EQ(form->mHelpWindow->windowTitle(), "Contents - Sizewise Help");
}

}  // namespace
}  // namespace sw
