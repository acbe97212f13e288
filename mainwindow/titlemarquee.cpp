// The title marquee on the main window, a strip in which the program's name,
// "FreeWare From" and the maker's name scroll up in turn, and the "..." after a
// title too long for its line.
#include <QLabel>
#include <QTimer>

#include "app/numbers.h"
#include "mainwindow/controls.h"
#include "mainwindow/form1.h"

namespace sw {
namespace {

// Design geometry, in twips.
constexpr int kScrollLeft = 0;
constexpr int kScrollTop = 870;
constexpr int kScrollWidth = 1785;
constexpr int kScrollHeight = 320;
constexpr int kScrollLabelWidth = 1740;
constexpr int kScrollLabelHeight = 210;

}  // namespace

void Form1::createMarqueeControls() {
    picScroll = new QWidget(this);
    picScroll->setObjectName("picScroll");
    picScroll->setGeometry(DesignRect(kScrollLeft, kScrollTop, kScrollWidth, kScrollHeight));
    // Opaque, so that a step repaints the strip and nothing behind it.
    picScroll->setAutoFillBackground(true);
    lblScroll = new QLabel(picScroll);
    lblScroll->setObjectName("lblScroll");
    lblScroll->setGeometry(DesignRect(0, 0, kScrollLabelWidth, kScrollLabelHeight));
    lblScroll->setAlignment(Qt::AlignCenter);
    QFont arial("Arial");
    arial.setPointSizeF(8.25);
    arial.setBold(true);
    lblScroll->setFont(arial);
    mMarquee.emplace(kScrollHeight, kScrollLabelHeight, MarqueeFirstText(kAppTitle, kAppMaker),
                     MarqueeMessages(kAppTitle, kAppMaker));

    tmrScroll = new QTimer(this);
    tmrScroll->setInterval(50);
    connect(tmrScroll, &QTimer::timeout, this, [this] { tmrScroll_Timer(); });
    tmrScrollPause = new QTimer(this);
    tmrScrollPause->setInterval(1000);
    tmrScrollPause->setSingleShot(true);
    connect(tmrScrollPause, &QTimer::timeout, this, [this] { tmrScrollPause_Timer(); });
    tmrScroll->start();
}

void Form1::tmrScroll_Timer() {
    const bool resting = mMarquee->Step();
    const QString caption = QString::fromStdString(mMarquee->caption());
    if (lblScroll->text() != caption) lblScroll->setText(caption);
    // Moving a child repaints only where it was and where it goes, inside the strip.
    lblScroll->move(lblScroll->x(), DesignPixels(mMarquee->top()));
    if (resting) {
        // Nothing moves during the pause: the step timer sleeps rather than
        // waking twenty times a second to do nothing.
        tmrScroll->stop();
        tmrScrollPause->start();
    }
}

void Form1::tmrScrollPause_Timer() {
    mMarquee->EndPause();
    tmrScroll->start();
}

void Form1::lblWindowText_Change() {
    const double right = (lblWindowText->x() + lblWindowText->width()) * kDesignTwipsPerPixel;
    const double ellipsisLeft = lblElipses->x() * kDesignTwipsPerPixel;
    lblElipses->setVisible(EllipsisVisible(right, ellipsisLeft));
}

}  // namespace sw
