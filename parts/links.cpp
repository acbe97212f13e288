// Help, the e-mail and web buttons, and the round web button.
#include "links.h"

#include <QMessageBox>
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

std::string Links::MailtoLink() {
    return std::string("Mailto:") + SIZEWISE_EMAIL + "?Subject=Sizewise Application";
}

std::string Links::WebLink() {
    return SIZEWISE_HOMEPAGE;
}

Links::Links(QWidget* form, Shell& shell, const std::string& programDir)
    : QObject(form),
      form_(form),
      shell_(shell),
      mHelpFile(FindHelp(programDir)),
      mHelpSearched(HelpSearchPaths(programDir)) {
    cmdMailto = new QToolButton(form);
    cmdMailto->setObjectName("cmdMailto");
    cmdMailto->setGeometry(DesignRect(kMailLeft, kMailTop, kMailWidth, kMailHeight));
    cmdMailto->setIcon(glyphs::Envelope());
    cmdMailto->setIconSize(QSize(28, 20));
    cmdMailto->setToolTip("Contact Korvath by Email");
    cmdMailto->setAccessibleName(cmdMailto->toolTip());
    connect(cmdMailto, &QToolButton::clicked, this, [this] { OpenLinkOrSay(MailtoLink()); });

    cmdWebLink = new QToolButton(form);
    cmdWebLink->setObjectName("cmdWebLink");
    cmdWebLink->setGeometry(DesignRect(kWebLeft, kWebTop, kWebSize, kWebSize));
    cmdWebLink->setIcon(glyphs::Globe());
    cmdWebLink->setIconSize(QSize(40, 40));
    cmdWebLink->setToolTip("Visit Korvath's Web Site");
    cmdWebLink->setAccessibleName(cmdWebLink->toolTip());
    connect(cmdWebLink, &QToolButton::clicked, this, [this] { OpenLinkOrSay(WebLink()); });
}

void Links::MakeRoundButton() {
    const EllipseBox box =
        RoundButtonEllipse(kWebSize, kWebSize, kDesignTwipsPerPixel, kDesignTwipsPerPixel);
    // Outside the ellipse the button neither shows nor takes clicks.
    QRegion mask;
    for (const PixelRow& row : EllipseRows(box))
        mask += QRect(row.left, row.y, row.right - row.left, 1);
    cmdWebLink->setMask(mask);
}

void Links::OpenLinkOrSay(const std::string& link) {
    // `OpenLink`
    if (shell_.openLink(link)) return;
    QMessageBox::warning(
        form_, kAppTitle,
        QString("Nothing on this desktop could open %1.\n"
                "Set a default web browser and mail program (xdg-open) and try again.")
            .arg(q(link)));
}

void Links::ShowHelpContents() {
    if (mHelpFile.empty()) {
        QString where;
        for (const std::string& path : mHelpSearched) where += "\n" + q(path);
        QMessageBox::warning(form_, kAppTitle,
                             "The help was not found. It was looked for in:" + where);
        return;
    }
    if (mHelpWindow == nullptr) mHelpWindow = new HelpWindow(shell_, form_);
    mHelpWindow->ShowContents(mHelpFile);
}

}  // namespace sw
