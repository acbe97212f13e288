// The title line and the marquee.
#include "titlemarquee.h"

#include <QLabel>
#include <QPainter>
#include <QPixmap>
#include <QTimer>

#include "appinfo.h"
#include "target.h"
#include "widgets.h"

namespace sw {
namespace {

// Design geometry, in twips. The title line starts where the "Menu" label ends, one pixel lower
// than designed, so that the two never overlap.
constexpr int kTitleTop = 255;
constexpr int kScrollLeft = 0;
constexpr int kScrollTop = 870;
constexpr int kScrollWidth = 1785;
constexpr int kScrollHeight = 320;
constexpr int kScrollLabelWidth = 1740;
constexpr int kScrollLabelHeight = 210;
constexpr int kStepMs = 50;
constexpr int kPauseMs = 1000;

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
        if (caption == caption_) return;
        caption_ = caption;
        line_ = QPixmap();
        update();
    }
    void setLabelTop(int top) {
        if (top == label_.top()) return;
        label_.moveTop(top);
        // Painted now: a step is one pass, not a posted request and a second one.
        repaint();
    }
    void setLabelSize(QSize size) {
        label_.setSize(size);
        line_ = QPixmap();
    }

protected:
    void changeEvent(QEvent* event) override {
        if (event->type() == QEvent::FontChange || event->type() == QEvent::PaletteChange)
            line_ = QPixmap();
        QWidget::changeEvent(event);
    }
    void paintEvent(QPaintEvent*) override {
        if (line_.isNull()) drawLine();
        QPainter painter(this);
        painter.fillRect(rect(), palette().window());
        painter.drawPixmap(label_.topLeft(), line_);
    }

private:
    void drawLine() {
        const qreal ratio = devicePixelRatioF();
        line_ = QPixmap(label_.size() * ratio);
        line_.setDevicePixelRatio(ratio);
        line_.fill(Qt::transparent);
        QPainter painter(&line_);
        painter.setFont(font());
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawText(QRect(QPoint(0, 0), label_.size()), Qt::AlignCenter, caption_);
    }

    QString caption_;
    QPixmap line_;
    QRect label_;
};

TitleMarquee::TitleMarquee(QWidget* window, const Target& target)
    : QObject(window),
      marquee_(kScrollHeight, kScrollLabelHeight, marqueeFirstText(kAppTitle, kAppMaker),
               marqueeMessages(kAppTitle, kAppMaker)) {
    QFont small = window->font();
    small.setPixelSize(textPixels(10));
    QFont titleFont = window->font();
    titleFont.setPixelSize(textPixels(11));
    caption_ = new QLabel("Window:", window);
    caption_->setFont(small);
    caption_->move(layoutPixels(120), layoutPixels(kTitleTop));
    caption_->adjustSize();
    title_ = new QLabel(window);
    title_->setObjectName("targetTitle");
    title_->setAccessibleDescription("Target window title");
    title_->move(layoutPixels(800), layoutPixels(kTitleTop));
    title_->setTextFormat(Qt::PlainText);
    title_->setFont(titleFont);
    // Made after the title so that it covers the title's end.
    ellipsis_ = new QLabel("...", window);
    ellipsis_->setObjectName("titleEllipsis");
    ellipsis_->setFont(titleFont);
    ellipsis_->move(layoutPixels(3480), layoutPixels(kTitleTop));
    ellipsis_->adjustSize();
    ellipsis_->setAutoFillBackground(true);
    ellipsis_->hide();

    strip_ = new MarqueeStrip(window);
    strip_->setObjectName("marquee");
    strip_->setGeometry(designRect(kScrollLeft, kScrollTop, kScrollWidth, kScrollHeight));
    strip_->setLabelSize(designRect(0, 0, kScrollLabelWidth, kScrollLabelHeight).size());
    strip_->setCaption(QString::fromStdString(marquee_.caption()));
    QFont arial("Arial");
    arial.setPointSizeF(8.25 * textZoom());
    arial.setBold(true);
    strip_->setFont(arial);

    stepTimer_ = new QTimer(this);
    stepTimer_->setInterval(kStepMs);
    connect(stepTimer_, &QTimer::timeout, this, &TitleMarquee::step);
    pauseTimer_ = new QTimer(this);
    pauseTimer_->setInterval(kPauseMs);
    pauseTimer_->setSingleShot(true);
    connect(pauseTimer_, &QTimer::timeout, this, &TitleMarquee::endPause);
    connect(&target, &Target::changed, this, [this](const TargetReading& reading) {
        setTitle(QString::fromStdString(reading.info.title));
    });
}

void TitleMarquee::setRunning(bool running) {
    if (!running) {
        stepTimer_->stop();
        pauseTimer_->stop();
    } else if (!stepTimer_->isActive() && !pauseTimer_->isActive()) {
        (marquee_.resting() ? pauseTimer_ : stepTimer_)->start();
    }
}

void TitleMarquee::setTitle(const QString& title) {
    if (title_->text() != title) {
        title_->setText(title);
        title_->adjustSize();
        const double right = (title_->x() + title_->width()) * units_.twipsPerPixel();
        ellipsis_->setVisible(ellipsisVisible(right, ellipsis_->x() * units_.twipsPerPixel()));
    }
    // Setting a tip sends an event even when it is unchanged.
    if (title_->toolTip() != title) title_->setToolTip(title);
}

void TitleMarquee::step() {
    const bool resting = marquee_.step();
    strip_->setCaption(QString::fromStdString(marquee_.caption()));
    strip_->setLabelTop(units_.pixels(marquee_.top()));
    if (resting) {
        // Nothing moves during the pause: the step timer sleeps rather than waking twenty times
        // a second to do nothing.
        stepTimer_->stop();
        pauseTimer_->start();
    }
}

void TitleMarquee::endPause() {
    marquee_.endPause();
    stepTimer_->start();
}

}  // namespace sw
