// The title line and the marquee.
#include "titlemarquee.h"

#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QTimer>

#include "appinfo.h"
#include "widgets.h"

namespace sw {
namespace {

// Design geometry, in twips. The title line starts where the "Menu" label
// ends, one pixel lower than designed, so that the two never overlap.
constexpr int kTitleTop = 255;
constexpr int kScrollLeft = 0;
constexpr int kScrollTop = 870;
constexpr int kScrollWidth = 1785;
constexpr int kScrollHeight = 320;
constexpr int kScrollLabelWidth = 1740;
constexpr int kScrollLabelHeight = 210;

}  // namespace

// The marquee's viewport. Its line is drawn once for each caption, centred in
// the label's box, and each step copies that picture top pixels below the
// strip's top.
class MarqueeStrip final : public QWidget {
public:
    explicit MarqueeStrip(QWidget* parent) : QWidget(parent) {
        // Every pixel is painted here: nothing behind the strip is repainted.
        setAttribute(Qt::WA_OpaquePaintEvent);
    }

    void setCaption(const QString& caption) {
        if (caption == mCaption) return;
        mCaption = caption;
        mLine = QPixmap();
        update();
    }
    void setLabelTop(int top) {
        if (top == mLabel.top()) return;
        mLabel.moveTop(top);
        // Painted now: a step is one pass, not a posted request and a second one.
        repaint();
    }
    void setLabelSize(QSize size) {
        mLabel.setSize(size);
        mLine = QPixmap();
    }

protected:
    void changeEvent(QEvent* event) override {
        if (event->type() == QEvent::FontChange || event->type() == QEvent::PaletteChange)
            mLine = QPixmap();
        QWidget::changeEvent(event);
    }
    void paintEvent(QPaintEvent*) override {
        if (mLine.isNull()) drawLine();
        QPainter painter(this);
        painter.fillRect(rect(), palette().window());
        painter.drawPixmap(mLabel.topLeft(), mLine);
    }

private:
    void drawLine() {
        const qreal ratio = devicePixelRatioF();
        mLine = QPixmap(mLabel.size() * ratio);
        mLine.setDevicePixelRatio(ratio);
        mLine.fill(Qt::transparent);
        QPainter painter(&mLine);
        painter.setFont(font());
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawText(QRect(QPoint(0, 0), mLabel.size()), Qt::AlignCenter, mCaption);
    }

    QString mCaption;
    QPixmap mLine;
    QRect mLabel;
};

TitleMarquee::TitleMarquee(QWidget* form) : QObject(form) {
    QFont small = form->font();
    small.setPixelSize(10);
    QFont titleFont = form->font();
    titleFont.setPixelSize(11);
    lblWatchingWindow = new QLabel("Window:", form);
    lblWatchingWindow->setFont(small);
    lblWatchingWindow->move(DesignPixels(120), DesignPixels(kTitleTop));
    lblWatchingWindow->adjustSize();
    lblWindowText = new QLabel("Label1", form);
    lblWindowText->setObjectName("lblWindowText");
    lblWindowText->setAccessibleDescription("Target window title");
    lblWindowText->move(DesignPixels(800), DesignPixels(kTitleTop));
    lblWindowText->setTextFormat(Qt::PlainText);
    lblWindowText->setFont(titleFont);
    lblWindowText->adjustSize();
    // Made after the title so that it covers the title's end.
    lblElipses = new QLabel("...", form);
    lblElipses->setObjectName("lblElipses");
    lblElipses->setFont(titleFont);
    lblElipses->move(DesignPixels(3480), DesignPixels(kTitleTop));
    lblElipses->adjustSize();
    lblElipses->setAutoFillBackground(true);
    lblElipses->hide();

    picScroll = new MarqueeStrip(form);
    picScroll->setObjectName("picScroll");
    picScroll->setGeometry(DesignRect(kScrollLeft, kScrollTop, kScrollWidth, kScrollHeight));
    picScroll->setLabelSize(DesignRect(0, 0, kScrollLabelWidth, kScrollLabelHeight).size());
    picScroll->setCaption(QString::fromStdString(MarqueeFirstText(kAppTitle, kAppMaker)));
    QFont arial("Arial");
    arial.setPointSizeF(8.25);
    arial.setBold(true);
    picScroll->setFont(arial);
    mMarquee.emplace(kScrollHeight, kScrollLabelHeight, MarqueeFirstText(kAppTitle, kAppMaker),
                     MarqueeMessages(kAppTitle, kAppMaker));

    tmrScroll = new QTimer(this);
    tmrScroll->setInterval(50);
    connect(tmrScroll, &QTimer::timeout, this, &TitleMarquee::tmrScroll_Timer);
    tmrScrollPause = new QTimer(this);
    tmrScrollPause->setInterval(1000);
    tmrScrollPause->setSingleShot(true);
    connect(tmrScrollPause, &QTimer::timeout, this, &TitleMarquee::tmrScrollPause_Timer);
}

void TitleMarquee::setRunning(bool running) {
    if (!running) {
        tmrScroll->stop();
        tmrScrollPause->stop();
    } else if (!tmrScroll->isActive() && !tmrScrollPause->isActive()) {
        (mResting ? tmrScrollPause : tmrScroll)->start();
    }
}

QString TitleMarquee::title() const {
    return lblWindowText->text();
}

void TitleMarquee::setTitle(const QString& title) {
    if (lblWindowText->text() != title) {
        lblWindowText->setText(title);
        lblWindowText->adjustSize();
        lblWindowText_Change();
    }
    // Setting a tip sends an event even when it is unchanged.
    if (lblWindowText->toolTip() != title) lblWindowText->setToolTip(title);
}

void TitleMarquee::tmrScroll_Timer() {
    const bool resting = mMarquee->Step();
    picScroll->setCaption(QString::fromStdString(mMarquee->caption()));
    picScroll->setLabelTop(DesignPixels(mMarquee->top()));
    if (resting) {
        // Nothing moves during the pause: the step timer sleeps rather than
        // waking twenty times a second to do nothing.
        tmrScroll->stop();
        tmrScrollPause->start();
        mResting = true;
    }
}

void TitleMarquee::tmrScrollPause_Timer() {
    mResting = false;
    mMarquee->EndPause();
    tmrScroll->start();
}

void TitleMarquee::lblWindowText_Change() {
    const double right = (lblWindowText->x() + lblWindowText->width()) * kDesignTwipsPerPixel;
    const double ellipsisLeft = lblElipses->x() * kDesignTwipsPerPixel;
    lblElipses->setVisible(EllipsisVisible(right, ellipsisLeft));
}

}  // namespace sw
