// The main window's ways out to other programs: the help at its contents page,
// an e-mail to the project and its web site, and the round web button.
#include <QAction>
#include <QMessageBox>
#include <QRegion>
#include <QToolButton>

#include "app/numbers.h"
#include "app/windowutils.h"
#include "mainwindow/controls.h"
#include "mainwindow/form1.h"
#include "mainwindow/glyphs.h"
#include "mainwindow/helpwindow.h"

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

QString q(const std::string& s) { return QString::fromStdString(s); }

}  // namespace

std::string Form1::MailtoLink() { return std::string("Mailto:") + SIZEWISE_EMAIL + "?Subject=Sizewise Application"; }

std::string Form1::WebLink() { return SIZEWISE_HOMEPAGE; }

void Form1::createLinkControls() {
    cmdMailto = new QToolButton(this);
    cmdMailto->setObjectName("cmdMailto");
    cmdMailto->setGeometry(DesignRect(kMailLeft, kMailTop, kMailWidth, kMailHeight));
    cmdMailto->setIcon(glyphs::Envelope());
    cmdMailto->setIconSize(QSize(28, 20));
    cmdMailto->setToolTip("Contact Korvath by Email");
    connect(cmdMailto, &QToolButton::clicked, this, [this] { cmdMailto_Click(); });

    cmdWebLink = new QToolButton(this);
    cmdWebLink->setObjectName("cmdWebLink");
    cmdWebLink->setGeometry(DesignRect(kWebLeft, kWebTop, kWebSize, kWebSize));
    cmdWebLink->setIcon(glyphs::Globe());
    cmdWebLink->setIconSize(QSize(40, 40));
    cmdWebLink->setToolTip("Visit Korvath's Web Site");
    connect(cmdWebLink, &QToolButton::clicked, this, [this] { cmdWebLink_Click(); });
}

void Form1::MakeRoundButton() {
    const EllipseBox box = RoundButtonEllipse(kWebSize, kWebSize, kDesignTwipsPerPixel, kDesignTwipsPerPixel);
    // Outside the ellipse the button neither shows nor takes clicks.
    QRegion mask;
    for (const PixelRow& row : EllipseRows(box)) mask += QRect(row.left, row.y, row.right - row.left, 1);
    cmdWebLink->setMask(mask);
}

void Form1::cmdMailto_Click() { OpenLinkOrSay(MailtoLink()); }

void Form1::cmdWebLink_Click() { OpenLinkOrSay(WebLink()); }

void Form1::OpenLinkOrSay(const std::string& link) {
    if (OpenLink(desktop_.shell, link)) return;
    QMessageBox::warning(this, kAppTitle,
                         QString("Nothing on this desktop could open %1.\n"
                                 "Set a default web browser and mail program (xdg-open) and try again.")
                             .arg(q(link)));
}

void Form1::mnuHelpContents_Click() {
    if (mHelpFile.empty()) {
        QString where;
        for (const std::string& path : mHelpSearched) where += "\n" + q(path);
        QMessageBox::warning(this, kAppTitle, "The help was not found. It was looked for in:" + where);
        return;
    }
    if (mHelpWindow == nullptr) mHelpWindow = new HelpWindow(desktop_.shell, this);
    mHelpWindow->ShowContents(mHelpFile);
}

}  // namespace sw
