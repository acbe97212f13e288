// The e-mail and web buttons, opening links, and the help.
#include "links.h"

#include <QRegion>
#include <QToolButton>

#include "appinfo.h"
#include "glyphs.h"
#include "helppath.h"
#include "helpwindow.h"
#include "marquee.h"
#include "widgets.h"

namespace sw {
namespace {

// Design geometry, in twips.
constexpr int kMailLeft = 120;
constexpr int kMailTop = 1560;
constexpr int kMailWidth = 975;
constexpr int kMailHeight = 495;
constexpr int kWebLeft = 1080;
constexpr int kWebTop = 1320;
constexpr int kWebSize = 975;

QString q(const std::string& s) {
    return QString::fromStdString(s);
}

}  // namespace

LinkButtons::LinkButtons(QWidget* window) : QObject(window) {
    mail_ = new QToolButton(window);
    mail_->setObjectName("mailButton");
    mail_->setGeometry(designRect(kMailLeft, kMailTop, kMailWidth, kMailHeight));
    mail_->setIcon(glyphs::envelope());
    mail_->setIconSize(QSize(28, 20));
    mail_->setToolTip("Contact Korvath by Email");
    mail_->setAccessibleName(mail_->toolTip());
    connect(mail_, &QToolButton::clicked, this, &LinkButtons::mailClicked);

    web_ = new QToolButton(window);
    web_->setObjectName("webButton");
    web_->setGeometry(designRect(kWebLeft, kWebTop, kWebSize, kWebSize));
    web_->setIcon(glyphs::globe());
    web_->setIconSize(QSize(40, 40));
    web_->setToolTip("Visit Korvath's Web Site");
    web_->setAccessibleName(web_->toolTip());
    connect(web_, &QToolButton::clicked, this, &LinkButtons::webClicked);
}

void LinkButtons::makeRound() {
    const double perPixel = LayoutScale().twipsPerPixel();
    const EllipseBox box = roundButtonEllipse(kWebSize, kWebSize, perPixel, perPixel);
    // Outside the ellipse the button neither shows nor takes clicks.
    QRegion mask;
    for (const PixelRow& row : ellipseRows(box)) {
        mask += QRect(row.left, row.y, row.right - row.left, 1);
    }
    web_->setMask(mask);
}

std::string Links::mailtoLink() {
    return std::string("Mailto:") + SIZEWISE_EMAIL + "?Subject=Sizewise Application";
}

std::string Links::webLink() {
    return SIZEWISE_HOMEPAGE;
}

Links::Links(Shell& shell, const std::string& programDir, QWidget* parent)
    : QObject(parent),
      shell_(shell),
      parent_(parent),
      helpFile_(findHelp(programDir)),
      helpSearched_(helpSearchPaths(programDir)) {}

void Links::openMail() {
    openOrSay(mailtoLink());
}

void Links::openWeb() {
    openOrSay(webLink());
}

void Links::openOrSay(const std::string& link) {
    if (shell_.openLink(link)) return;
    tell(parent_, kAppTitle,
         QString("Nothing on this desktop could open %1.\n"
                 "Set a default web browser and mail program (xdg-open) and try again.")
             .arg(q(link)));
}

void Links::showHelp() {
    if (helpFile_.empty()) {
        QString where;
        for (const std::string& path : helpSearched_) where += "\n" + q(path);
        tell(parent_, kAppTitle, "The help was not found. It was looked for in:" + where);
        return;
    }
    if (helpWindow_ == nullptr) helpWindow_ = new HelpWindow(shell_, parent_);
    helpWindow_->showContents(helpFile_);
}

}  // namespace sw
