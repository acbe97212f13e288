// The preset editor.
#include "preseteditor.h"

#include <QBitmap>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QTimer>

#include "numbers.h"
#include "screenmodel.h"
#include "widgets.h"
#include "windowutils.h"

namespace sw {
namespace {

// Design geometry, in twips.
constexpr int kClientWidth = 2040;
constexpr int kClientHeight = 4155;
constexpr int kRowTop = 840;
constexpr int kRowStep = 240;
constexpr int kWidthLeft = 360;
constexpr int kHeightLeft = 1200;
constexpr int kBoxWidth = 495;
constexpr int kBoxHeight = 255;
// The picture that gives the window its shape, and the corners' ellipse in pixels.
constexpr int kShapeWidth = 2055;
constexpr int kShapeHeight = 3975;
constexpr int kCornerPixels = 20;

// A box's whole text is selected when it gains the focus; a click that gives the focus places
// the cursor after that, so the text is selected once more when the click is over.
void selectOnFocus(ValueBox* box) {
    box->onFocusIn = [box] {
        box->selectAll();
        QTimer::singleShot(0, box, [box] { box->selectAll(); });
    };
}

}  // namespace

PresetEditor::PresetEditor(Presets& presets, WindowSystem& windows, const ScreenModel& screen,
                           QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      presets_(presets),
      windows_(windows),
      screen_(screen) {
    setObjectName("presetEditor");
    setWindowTitle("Presets");
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(layoutPixels(kClientWidth), layoutPixels(kClientHeight));
    createControls();
    fillBoxes();
    setShape();
}

PresetEditor::~PresetEditor() {
    // Focus moves while the children are torn down; the boxes must not call back.
    for (auto* box : widths_) box->onFocusIn = nullptr;
    for (auto* box : heights_) box->onFocusIn = nullptr;
}

void PresetEditor::createControls() {
    QFont small = font();
    small.setPixelSize(textPixels(10));
    setFont(small);
    setAutoFillBackground(true);
    auto* title = new QLabel("Presets", this);
    title->setGeometry(designRect(0, 0, 2055, 375));
    title->setAlignment(Qt::AlignCenter);
    QFont titleFont = font();
    titleFont.setPointSizeF(13.5 * textZoom());
    titleFont.setBold(true);
    title->setFont(titleFont);
    const auto label = [this](const QString& text, int left, int top, int width) {
        auto* l = new QLabel(text, this);
        l->setGeometry(designRect(left, top, width, kBoxHeight));
        return l;
    };
    label("Width", kWidthLeft, 600, kBoxWidth);
    label("Height", kHeightLeft, 600, kBoxWidth);
    for (int i = 0; i < kPresetSlots; ++i) {
        const int top = kRowTop + kRowStep * i;
        label(QString::number(i), 120, top, 240);
        label("X", 960, top, 240)->setAlignment(Qt::AlignCenter);
        widths_[i] = new ValueBox(this);
        widths_[i]->setObjectName(QString("presetWidth%1").arg(i));
        widths_[i]->setGeometry(designRect(kWidthLeft, top, kBoxWidth, kBoxHeight));
        heights_[i] = new ValueBox(this);
        heights_[i]->setObjectName(QString("presetHeight%1").arg(i));
        heights_[i]->setGeometry(designRect(kHeightLeft, top, kBoxWidth, kBoxHeight));
        widths_[i]->setAccessibleName(QString("Preset %1 Width").arg(i));
        heights_[i]->setAccessibleName(QString("Preset %1 Height").arg(i));
        selectOnFocus(widths_[i]);
        selectOnFocus(heights_[i]);
    }
    auto* cancel = new QPushButton("&Cancel", this);
    cancel->setObjectName("cancelButton");
    cancel->setGeometry(designRect(240, 3480, 735, 375));
    auto* ok = new QPushButton("&Ok", this);
    ok->setObjectName("okButton");
    ok->setGeometry(designRect(1080, 3480, 735, 375));
    ok->setDefault(true);
    // Esc reaches reject() as well.
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    connect(ok, &QPushButton::clicked, this, &PresetEditor::apply);
}

void PresetEditor::fillBoxes() {
    for (int i = 0; i < kPresetSlots; ++i) {
        widths_[i]->setText(QString::number(presets_.values().width[i]));
        heights_[i]->setText(QString::number(presets_.values().height[i]));
    }
}

void PresetEditor::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    centreWindow(screen_.metrics(), this, true, true);
    // The window system takes the topmost state of a mapped window only.
    setTopmost(windows_, this, true);
}

void PresetEditor::setShape() {
    const QRect shape(0, 0, layoutPixels(kShapeWidth), layoutPixels(kShapeHeight));
    QBitmap mask(size());
    mask.fill(Qt::color0);
    QPainter p(&mask);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::color1);
    p.drawRoundedRect(shape, kCornerPixels / 2.0, kCornerPixels / 2.0);
    p.end();
    setMask(mask);
}

void PresetEditor::apply() {
    PresetTexts texts;
    for (int i = 0; i < kPresetSlots; ++i) {
        texts.width[i] = widths_[i]->text().toStdString();
        texts.height[i] = heights_[i]->text().toStdString();
    }
    const auto result = readPresetTexts(texts);
    if (const auto* refusal = std::get_if<PresetRefusal>(&result)) {
        showRefusal(refusal->height ? heights_[refusal->slot] : widths_[refusal->slot],
                    refusal->why);
        return;
    }
    presets_.setValues(std::get<PresetValues>(result));
    accept();
}

}  // namespace sw
