// The help viewer.
#include "helpwindow.h"

#include <QHBoxLayout>
#include <QMessageBox>
#include <QTextBrowser>
#include <QToolButton>
#include <QVBoxLayout>

namespace sw {

HelpWindow::HelpWindow(Shell& shell, QWidget* owner) : QWidget(owner, Qt::Window), shell_(shell) {
    setObjectName("HelpWindow");
    setWindowTitle("Sizewise Help");
    resize(560, 480);

    cmdBack = new QToolButton(this);
    cmdBack->setText("&Back");
    cmdForward = new QToolButton(this);
    cmdForward->setText("&Forward");
    cmdContents = new QToolButton(this);
    cmdContents->setText("&Contents");
    browser = new QTextBrowser(this);
    browser->setObjectName("browser");
    // Pages of the help open here; anything else goes to the desktop.
    browser->setOpenLinks(false);

    auto* buttons = new QHBoxLayout;
    for (QToolButton* b : {cmdBack, cmdForward, cmdContents}) buttons->addWidget(b);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(browser);

    cmdBack->setEnabled(false);
    cmdForward->setEnabled(false);
    connect(browser, &QTextBrowser::backwardAvailable, cmdBack, &QToolButton::setEnabled);
    connect(browser, &QTextBrowser::forwardAvailable, cmdForward, &QToolButton::setEnabled);
    connect(cmdBack, &QToolButton::clicked, browser, &QTextBrowser::backward);
    connect(cmdForward, &QToolButton::clicked, browser, &QTextBrowser::forward);
    connect(cmdContents, &QToolButton::clicked, this, [this] { browser->setSource(contents_); });
    connect(browser, &QTextBrowser::anchorClicked, this,
            [this](const QUrl& link) { FollowLink(link); });
    // The page's own title names the window, as help viewers do.
    connect(browser, &QTextBrowser::sourceChanged, this, [this] {
        const QString page = browser->documentTitle();
        setWindowTitle(page.isEmpty() ? "Sizewise Help" : page + " - Sizewise Help");
    });
}

void HelpWindow::ShowContents(const std::string& contentsPath) {
    contents_ = QUrl::fromLocalFile(QString::fromStdString(contentsPath));
    browser->setSource(contents_);
    show();
    raise();
    activateWindow();
}

void HelpWindow::FollowLink(const QUrl& link) {
    const QUrl resolved = browser->source().resolved(link);
    if (resolved.isLocalFile()) {
        browser->setSource(resolved);
        return;
    }
    const std::string address = resolved.toString().toStdString();
    if (!shell_.openLink(address)) {
        QMessageBox::warning(
            this, "Sizewise Help",
            QString("Nothing on this desktop could open %1.").arg(resolved.toString()));
    }
}

}  // namespace sw
