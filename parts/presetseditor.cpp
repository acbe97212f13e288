// The preset editor.
#include "presetseditor.h"

#include <QBitmap>
#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QTimer>

#include "numbers.h"
#include "presets.h"
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

QString q(const std::string& s) {
    return QString::fromStdString(s);
}

}  // namespace

frmPresets::frmPresets(Presets& presets, WindowSystem& windows, const ScreenMetrics& screen,
                       QWidget* owner)
    : QDialog(owner, Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint),
      presets_(presets),
      windows_(windows),
      screen_(screen) {
    setObjectName("frmPresets");
    setWindowTitle("Presets");
    setModal(true);
    setFixedSize(DesignPixels(kClientWidth), DesignPixels(kClientHeight));
    createControls();
    Form_Load();
}

frmPresets::~frmPresets() {
    // Focus moves while the children are torn down; the boxes must not call back.
    for (auto* box : txtWidth) box->onFocusIn = nullptr;
    for (auto* box : txtHeight) box->onFocusIn = nullptr;
}

void frmPresets::createControls() {
    QFont small = font();
    small.setPixelSize(10);
    setFont(small);
    setAutoFillBackground(true);

    Label2 = new QLabel("Presets", this);
    Label2->setGeometry(DesignRect(0, 0, 2055, 375));
    Label2->setAlignment(Qt::AlignCenter);
    QFont title = font();
    title.setPointSizeF(13.5);
    title.setBold(true);
    Label2->setFont(title);

    const auto label = [this](const char* text, int left, int top, int width) {
        auto* l = new QLabel(text, this);
        l->setGeometry(DesignRect(left, top, width, kBoxHeight));
        return l;
    };
    label("Width", kWidthLeft, 600, kBoxWidth);
    label("Height", kHeightLeft, 600, kBoxWidth);
    for (int i = 0; i < kPresetSlots; ++i) {
        const int top = kRowTop + kRowStep * i;
        label(std::to_string(i).c_str(), 120, top, 240);
        txtWidth[i] = new ValueBox(this);
        txtWidth[i]->setObjectName(QString("txtWidth%1").arg(i));
        txtWidth[i]->setGeometry(DesignRect(kWidthLeft, top, kBoxWidth, kBoxHeight));
        label("X", 960, top, 240)->setAlignment(Qt::AlignCenter);
        txtHeight[i] = new ValueBox(this);
        txtHeight[i]->setObjectName(QString("txtHeight%1").arg(i));
        txtHeight[i]->setGeometry(DesignRect(kHeightLeft, top, kBoxWidth, kBoxHeight));
        for (ValueBox* box : {txtWidth[i], txtHeight[i]}) {
            box->onFocusIn = [this, box] { txtBox_GotFocus(box); };
        }
    }

    cmdCancel = new QPushButton("&Cancel", this);
    cmdCancel->setGeometry(DesignRect(240, 3480, 735, 375));
    cmdOk = new QPushButton("&Ok", this);
    cmdOk->setGeometry(DesignRect(1080, 3480, 735, 375));
    cmdOk->setDefault(true);
    cmdOk->setObjectName("cmdOk");
    cmdCancel->setObjectName("cmdCancel");
    connect(cmdCancel, &QPushButton::clicked, this, [this] { cmdCancel_Click(); });
    connect(cmdOk, &QPushButton::clicked, this, [this] { cmdOk_Click(); });
    // Esc reaches reject(), which only hides: the same as Cancel.
}

void frmPresets::Form_Load() {
    CentreForm(screen_, this, true, true);
    SetFormRegion();
    for (int i = 0; i < kPresetSlots; ++i) {
        txtWidth[i]->setText(q(FormatLong(presets_.values().width[i])));
        txtHeight[i]->setText(q(FormatLong(presets_.values().height[i])));
    }
}

void frmPresets::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    // The window system takes the topmost state of a mapped window only.
    SetTopmost(windows_, this, true);
}

void frmPresets::SetFormRegion() {
    const QRect shape(0, 0, DesignPixels(kShapeWidth), DesignPixels(kShapeHeight));
    QBitmap mask(size());
    mask.fill(Qt::color0);
    QPainter p(&mask);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::color1);
    p.drawRoundedRect(shape, kCornerPixels / 2.0, kCornerPixels / 2.0);
    p.end();
    setMask(mask);
}

void frmPresets::txtBox_GotFocus(ValueBox* box) {
    // A click that gives the focus places the cursor after this runs; selecting
    // once the click is over keeps the whole text selected.
    box->selectAll();
    QTimer::singleShot(0, box, [box] { box->selectAll(); });
}

void frmPresets::cmdOk_Click() {
    PresetTexts texts;
    for (int i = 0; i < kPresetSlots; ++i) {
        texts.width[i] = txtWidth[i]->text().toStdString();
        texts.height[i] = txtHeight[i]->text().toStdString();
    }
    const auto result = ReadPresetTexts(texts);
    if (const auto* refusal = std::get_if<PresetRefusal>(&result)) {
        mRefusal = refusal->why;
        ShowRefusal(refusal->height ? txtHeight[refusal->slot] : txtWidth[refusal->slot],
                    refusal->why);
        return;
    }
    mRefusal.clear();
    presets_.setValues(std::get<PresetValues>(result));
    accept();
}

void frmPresets::cmdCancel_Click() {
    reject();
}

}  // namespace sw
