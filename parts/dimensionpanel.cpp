// The dimension captions and values, and the entry panel.
#include "dimensionpanel.h"

#include <QFrame>
#include <QToolButton>

#include "contrast.h"
#include "glyphs.h"
#include "nativehandle.h"
#include "numbers.h"
#include "target.h"
#include "widgets.h"

namespace sw {
namespace {

constexpr std::array<const char*, kDimensions> kNames{"left",   "top",   "right",
                                                      "bottom", "width", "height"};

// Design geometry, in twips.
constexpr int kCaptionTop = 480;
constexpr int kValueTop = 675;
constexpr int kDimensionStep = 600;
constexpr int kDimensionHeight = 195;
constexpr int kDimensionWidth = 615;
constexpr int kHeightCaptionWidth = 650;

}  // namespace

DimensionPanel::DimensionPanel(QWidget* window, Target& target) : QObject(window), target_(target) {
    createValues(window);
    createEntry(window);
    connect(&target, &Target::changed, this, &DimensionPanel::show);
}

void DimensionPanel::createValues(QWidget* window) {
    QFont small = window->font();
    small.setPixelSize(textPixels(10));
    for (int i = 0; i < kDimensions; ++i) {
        const int left = kDimensionStep * i;
        const bool height = i == static_cast<int>(Dimension::Height);
        captions_[i] = new ClickLabel(kDimensionCaptions[i], window);
        captions_[i]->setObjectName(QString(kNames[i]) + "Caption");
        captions_[i]->setGeometry(designRect(
            left, kCaptionTop, height ? kHeightCaptionWidth : kDimensionWidth, kDimensionHeight));
        captions_[i]->setStyleSheet("color: white; background: blue;");
        values_[i] = new ClickLabel("0000", window);
        values_[i]->setObjectName(QString(kNames[i]) + "Value");
        // A screen reader says which dimension a value is.
        values_[i]->setAccessibleDescription(kDimensionCaptions[i]);
        values_[i]->setGeometry(designRect(left, kValueTop, kDimensionWidth, kDimensionHeight));
        // Blue as designed where it can be read on the window; a dark palette gets a lighter
        // blue. Aimed above the least contrast: small digits' strokes are drawn partly blended.
        QPalette blue = values_[i]->palette();
        blue.setColor(QPalette::WindowText,
                      readableOn(QColor(0, 0, 255), window->palette().color(QPalette::Window),
                                 kSmallTextContrast));
        values_[i]->setPalette(blue);
        values_[i]->setFocusable();
        for (ClickLabel* label : {captions_[i], values_[i]}) {
            label->setFont(small);
            label->setAlignment(Qt::AlignCenter);
            label->setToolTip("Click to change value");
            label->onClick = [this, i] { openEntry(static_cast<Dimension>(i)); };
        }
    }
}

void DimensionPanel::createEntry(QWidget* window) {
    entry_ = new QFrame(window);
    entry_->setObjectName("valueEntry");
    entry_->setGeometry(designRect(0, kValueTop, 615, 495));
    entry_->hide();
    box_ = new ValueBox(entry_);
    box_->setObjectName("valueBox");
    box_->setGeometry(designRect(0, 0, 615, 255));
    QFont small = window->font();
    small.setPixelSize(textPixels(10));
    box_->setFont(small);
    box_->onFocusIn = [this] { box_->selectAll(); };
    box_->onFocusOut = [this] {
        if (!opening_) entry_->hide();
    };
    box_->onEscape = [this] {
        values_[static_cast<int>(editing_)]->setFocus(Qt::OtherFocusReason);
        closeEntry();
    };
    connect(box_, &QLineEdit::returnPressed, this, [this] { apply(true); });
    cancel_ = new QToolButton(entry_);
    cancel_->setObjectName("valueCancel");
    cancel_->setGeometry(designRect(0, 240, 255, 255));
    cancel_->setIcon(glyphs::cross());
    ok_ = new QToolButton(entry_);
    ok_->setObjectName("valueOk");
    ok_->setGeometry(designRect(360, 240, 255, 255));
    ok_->setIcon(glyphs::tick());
    for (QToolButton* b : {cancel_, ok_}) {
        // A click on them must not take the focus from the text box, or the panel would close
        // before the click lands.
        b->setFocusPolicy(Qt::NoFocus);
        b->setAutoRaise(false);
    }
    connect(cancel_, &QToolButton::clicked, this, &DimensionPanel::closeEntry);
    connect(ok_, &QToolButton::clicked, this, [this] { apply(false); });
}

DimensionPanel::~DimensionPanel() {
    // The box outlives this object while the window tears its children down; a focus change then
    // must not call back.
    box_->onFocusIn = nullptr;
    box_->onFocusOut = nullptr;
}

void DimensionPanel::show(const TargetReading& reading) {
    // The window manager publishes the active window a moment after the focus has moved, and on
    // the way it may name none or another of the program's windows; Qt already knows then, so a
    // click that has just activated this window does not count as a switch away.
    if (reading.foreground != 0 && !reading.foregroundIsOwn &&
        !entry_->window()->isActiveWindow()) {
        closeEntry();
    }
    const auto values = dimensionValues(reading.frame);
    for (int i = 0; i < kDimensions; ++i) {
        const QString text = QString::fromStdString(formatInteger(values[i]));
        if (values_[i]->text() != text) values_[i]->setText(text);
    }
}

void DimensionPanel::openEntry(Dimension which) {
    editing_ = which;
    const QLabel* caption = captions_[static_cast<int>(which)];
    box_->setText(values_[static_cast<int>(which)]->text());
    entry_->move(caption->x() - box_->x(), caption->y() + caption->height());
    entry_->show();
    entry_->raise();
    // Typing needs the keyboard: without a window manager a click does not bring it.
    entry_->window()->activateWindow();
    // Moving the focus away and back must not count as the box losing it: a click on another
    // value while the panel is open moves the panel there.
    opening_ = true;
    loseFocus(entry_);
    box_->setFocus(Qt::OtherFocusReason);
    opening_ = false;
    box_->selectAll();
}

void DimensionPanel::closeEntry() {
    QToolTip::hideText();
    entry_->hide();
}

void DimensionPanel::apply(bool byKeys) {
    std::string why;
    const auto placement =
        placementForEdit(target_.frame(), editing_, box_->text().toStdString(), &why);
    if (!placement) {
        // The panel stays open; the reason shows below its buttons.
        showRefusal(box_, why, entry_->height());
        return;
    }
    // Typed and entered, the value keeps the keyboard; the tick hands the target back.
    QWidget* value = values_[static_cast<int>(editing_)];
    if (byKeys) value->setFocus(Qt::OtherFocusReason);
    closeEntry();
    target_.place(*placement);
    if (byKeys) target_.keepForeground(nativeHandle(value->window()));
}

}  // namespace sw
