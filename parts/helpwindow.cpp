// The help viewer.
#include "helpwindow.h"

#include <QHBoxLayout>
#include <QTextBrowser>
#include <QTextDocument>
#include <QToolButton>
#include <QVBoxLayout>

#include "contrast.h"
#include "widgets.h"

namespace sw {
namespace {

// The pages' colours from the palette: the designed navy headings and blue links where they can
// be read on the page, lighter ones on a dark page, and bands a shade off the page.
QString pageColours(const QPalette& palette) {
    const QColor page = palette.color(QPalette::Base);
    const QColor text = palette.color(QPalette::Text);
    const auto band = [&](int percent) {
        const auto mix = [&](int a, int b) { return a + (b - a) * percent / 100; };
        return QColor(mix(page.red(), text.red()), mix(page.green(), text.green()),
                      mix(page.blue(), text.blue()))
            .name();
    };
    return QString(
               "h1, h2 { color: %1; } a { color: %2; } "
               "p.nav { background-color: %3; } th { background-color: %4; } "
               "pre { background-color: %3; }")
        .arg(readableOn(QColor(0x1b, 0x2f, 0x5e), page).name(),
             readableOn(QColor(0x24, 0x56, 0xb8), page).name(), band(6), band(12));
}

}  // namespace

HelpWindow::HelpWindow(Shell& shell, QWidget* owner) : QWidget(owner, Qt::Window), shell_(shell) {
    setObjectName("helpWindow");
    setWindowTitle("Sizewise Help");
    resize(560, 480);

    back_ = new QToolButton(this);
    back_->setText("&Back");
    forward_ = new QToolButton(this);
    forward_->setText("&Forward");
    home_ = new QToolButton(this);
    home_->setText("&Contents");
    browser_ = new QTextBrowser(this);
    browser_->setObjectName("browser");
    browser_->setAccessibleName("Help page");
    browser_->document()->setDefaultStyleSheet(pageColours(browser_->palette()));
    // Pages of the help open here; anything else goes to the desktop.
    browser_->setOpenLinks(false);

    auto* buttons = new QHBoxLayout;
    for (QToolButton* b : {back_, forward_, home_}) buttons->addWidget(b);
    buttons->addStretch();
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(buttons);
    layout->addWidget(browser_);

    back_->setEnabled(false);
    forward_->setEnabled(false);
    connect(browser_, &QTextBrowser::backwardAvailable, back_, &QToolButton::setEnabled);
    connect(browser_, &QTextBrowser::forwardAvailable, forward_, &QToolButton::setEnabled);
    connect(back_, &QToolButton::clicked, browser_, &QTextBrowser::backward);
    connect(forward_, &QToolButton::clicked, browser_, &QTextBrowser::forward);
    connect(home_, &QToolButton::clicked, this, [this] { browser_->setSource(contents_); });
    connect(browser_, &QTextBrowser::anchorClicked, this,
            [this](const QUrl& link) { followLink(link); });
    // The page's own title names the window, as help viewers do.
    connect(browser_, &QTextBrowser::sourceChanged, this, [this] {
        const QString page = browser_->documentTitle();
        setWindowTitle(page.isEmpty() ? "Sizewise Help" : page + " - Sizewise Help");
    });
}

void HelpWindow::showContents(const std::string& contentsPath) {
    contents_ = QUrl::fromLocalFile(QString::fromStdString(contentsPath));
    browser_->setSource(contents_);
    show();
    raise();
    activateWindow();
}

void HelpWindow::followLink(const QUrl& link) {
    const QUrl resolved = browser_->source().resolved(link);
    if (resolved.isLocalFile()) {
        browser_->setSource(resolved);
        return;
    }
    const std::string address = resolved.toString().toStdString();
    if (!shell_.openLink(address)) {
        tell(this, "Sizewise Help",
             QString("Nothing on this desktop could open %1.").arg(resolved.toString()));
    }
}

}  // namespace sw
