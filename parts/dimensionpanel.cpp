// The dimension captions and values, the entry panel, and the placement call.
#include "dimensionpanel.h"

#include <QFrame>
#include <QToolButton>

#include "glyphs.h"
#include "target.h"
#include "widgets.h"

namespace sw {
namespace {

constexpr const char* kCaptions[6] = {"Left", "Top", "Right", "Bottom", "Width", "Height"};

// Design geometry, in twips.
constexpr int kCaptionTop = 480;
constexpr int kValueTop = 675;
constexpr int kDimensionStep = 600;
constexpr int kDimensionHeight = 195;
constexpr int kDimensionWidth = 615;
constexpr int kHeightCaptionWidth = 650;

}  // namespace

DimensionPanel::DimensionPanel(QWidget* form, Target& target) : QObject(form), target_(target) {
    QFont small = form->font();
    small.setPixelSize(10);
    for (int i = 0; i < 6; ++i) {
        const int left = kDimensionStep * i;
        Label1[i] = new ClickLabel(kCaptions[i], form);
        Label1[i]->setGeometry(DesignRect(left, kCaptionTop,
                                          i == kHeight ? kHeightCaptionWidth : kDimensionWidth,
                                          kDimensionHeight));
        Label1[i]->setStyleSheet("color: white; background: blue;");
        lblWindowDimension[i] = new ClickLabel("0000", form);
        lblWindowDimension[i]->setObjectName(QString("lblWindowDimension%1").arg(i));
        // A screen reader says which dimension a value is.
        lblWindowDimension[i]->setAccessibleDescription(kCaptions[i]);
        lblWindowDimension[i]->setGeometry(
            DesignRect(left, kValueTop, kDimensionWidth, kDimensionHeight));
        lblWindowDimension[i]->setStyleSheet("color: blue;");
        for (ClickLabel* label : {Label1[i], lblWindowDimension[i]}) {
            label->setFont(small);
            label->setAlignment(Qt::AlignCenter);
            label->setToolTip("Click to change value");
            label->onClick = [this, i] { EditDimension(i); };
        }
    }

    picValueEntry = new QFrame(form);
    picValueEntry->setObjectName("picValueEntry");
    picValueEntry->setGeometry(DesignRect(0, kValueTop, 615, 495));
    picValueEntry->hide();
    txtValue = new ValueBox(picValueEntry);
    txtValue->setObjectName("txtValue");
    txtValue->setGeometry(DesignRect(0, 0, 615, 255));
    txtValue->setFont(small);
    txtValue->onFocusIn = [this] { txtValue_GotFocus(); };
    txtValue->onFocusOut = [this] { txtValue_LostFocus(); };
    txtValue->onEscape = [this] { cmdCancel_Click(); };
    connect(txtValue, &QLineEdit::returnPressed, this, &DimensionPanel::cmdOk_Click);
    cmdCancel = new QToolButton(picValueEntry);
    cmdCancel->setGeometry(DesignRect(0, 240, 255, 255));
    cmdCancel->setIcon(glyphs::Cross());
    cmdOk = new QToolButton(picValueEntry);
    cmdOk->setGeometry(DesignRect(360, 240, 255, 255));
    cmdOk->setIcon(glyphs::Tick());
    for (QToolButton* b : {cmdCancel, cmdOk}) {
        // A click on them must not take the focus from the text box, or the
        // panel would close before the click lands.
        b->setFocusPolicy(Qt::NoFocus);
        b->setAutoRaise(false);
    }
    connect(cmdCancel, &QToolButton::clicked, this, &DimensionPanel::cmdCancel_Click);
    connect(cmdOk, &QToolButton::clicked, this, &DimensionPanel::cmdOk_Click);
}

DimensionPanel::~DimensionPanel() {
    // The box outlives this object while the form tears its children down; a
    // focus change then must not call back.
    txtValue->onFocusIn = nullptr;
    txtValue->onFocusOut = nullptr;
}

DimensionLabels DimensionPanel::labels() const {
    DimensionLabels labels;
    for (int i = 0; i < 6; ++i) labels[i] = lblWindowDimension[i]->text().toStdString();
    return labels;
}

void DimensionPanel::setLabels(const DimensionLabels& labels) {
    for (int i = 0; i < 6; ++i) {
        const QString text = QString::fromStdString(labels[i]);
        if (lblWindowDimension[i]->text() != text) lblWindowDimension[i]->setText(text);
    }
}

void DimensionPanel::setValue(int index, std::int64_t value) {
    DimensionLabels now = labels();
    now[index] = FormatLong(value);
    setLabels(now);
}

void DimensionPanel::PlaceTarget() {
    if (const auto placement = PlacementFromLabels(labels())) target_.Place(*placement);
}

void DimensionPanel::EditDimension(int index) {
    if (index < 0 || index > 5) return;
    mEditIndex = index;
    mValueRefusal.clear();
    txtValue->setText(lblWindowDimension[index]->text());
    picValueEntry->move(Label1[index]->x() - txtValue->x(),
                        Label1[index]->y() + Label1[index]->height());
    picValueEntry->show();
    picValueEntry->raise();
    // Typing needs the keyboard: without a window manager a click does not bring it.
    picValueEntry->window()->activateWindow();
    // Moving the focus away and back must not count as the box losing it: a click
    // on another value while the panel is open moves the panel there.
    mOpeningEntry = true;
    LoseFocus(picValueEntry);
    txtValue->setFocus(Qt::OtherFocusReason);
    mOpeningEntry = false;
    txtValue->selectAll();
}

void DimensionPanel::CloseEntry() {
    picValueEntry->hide();
}

bool DimensionPanel::entryOpen() const {
    return picValueEntry->isVisible();
}

void DimensionPanel::txtValue_GotFocus() {
    txtValue->selectAll();
}

void DimensionPanel::txtValue_LostFocus() {
    if (!mOpeningEntry) picValueEntry->hide();
}

void DimensionPanel::cmdCancel_Click() {
    mValueRefusal.clear();
    picValueEntry->hide();
}

void DimensionPanel::cmdOk_Click() {
    std::string why;
    const auto edited =
        ApplyDimensionEdit(labels(), mEditIndex, txtValue->text().toStdString(), &why);
    if (!edited) {
        RefuseValue(why);
        return;
    }
    mValueRefusal.clear();
    QToolTip::hideText();
    setLabels(*edited);
    PlaceTarget();
    picValueEntry->hide();
}

void DimensionPanel::RefuseValue(const std::string& why) {
    // The panel stays open; the reason shows below its buttons.
    mValueRefusal = why;
    ShowRefusal(txtValue, why, picValueEntry->height());
}

}  // namespace sw
