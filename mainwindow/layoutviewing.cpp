// The layout view on the main window: the scaled picture of the screen with the
// target's rectangle in it, dragging that rectangle to move the target, and
// folding the view away.
#include <QAction>
#include <QFrame>
#include <QLabel>
#include <QToolButton>

#include "app/numbers.h"
#include "app/windowutils.h"
#include "mainwindow/controls.h"
#include "mainwindow/form1.h"
#include "mainwindow/glyphs.h"

namespace sw {
namespace {

// Design geometry, in twips.
constexpr int kLayoutSwitchLeft = 3300;
constexpr int kLayoutSwitchTop = 870;
constexpr int kLayoutSwitchSize = 300;
constexpr int kScreenViewDesignHeight = 975;
// Below the lowest control; the design's 400 twips also held the caption and
// borders of the window, which the window manager adds here.
constexpr int kBottomMargin = 120;

}  // namespace

void Form1::createLayoutControls() {
    chkShowLayout = new QToolButton(this);
    chkShowLayout->setGeometry(DesignRect(kLayoutSwitchLeft, kLayoutSwitchTop, kLayoutSwitchSize, kLayoutSwitchSize));
    chkShowLayout->setCheckable(true);
    chkShowLayout->setChecked(true);
    chkShowLayout->setIcon(glyphs::Layout());
    chkShowLayout->setToolTip("Show Window Layout");
    connect(chkShowLayout, &QToolButton::clicked, this, [this] { chkShowLayout_Click(); });

    picScreen = new QFrame(this);
    picScreen->setGeometry(DesignRect(kScreenViewLeft, kScreenViewTop, kScreenViewWidth, kScreenViewDesignHeight));
    picScreen->setFrameStyle(QFrame::Box | QFrame::Plain);
    picScreen->setLineWidth(1);
    picScreen->setStyleSheet("QFrame { background: rgb(192, 192, 255); }");

    imgWindow = new ImageBox(picScreen);
    imgWindow->setPixmap(glyphs::WindowPicture());
    imgWindow->setScaledContents(true);
    imgWindow->onMouseDown = [this](Qt::MouseButton b, Qt::MouseButtons, QPoint at) { imgWindow_MouseDown(b, at); };
    imgWindow->onMouseMove = [this](Qt::MouseButton, Qt::MouseButtons held, QPoint at) { imgWindow_MouseMove(held, at); };
    imgWindow->onMouseUp = [this](Qt::MouseButton, Qt::MouseButtons, QPoint) { imgWindow_MouseUp(); };
    const ViewRect start = mImage;
    mImage = ViewRect{-1, -1, -1, -1};
    PlaceImage(start);
}

ViewScale Form1::LayoutScale() const {
    const QRect inner = picScreen->contentsRect();
    return MakeViewScale(mScreen, inner.width() * kDesignTwipsPerPixel,
                         inner.height() * kDesignTwipsPerPixel);
}

void Form1::PlaceImage(const ViewRect& image) {
    // Only what changed is written, so a still target repaints nothing.
    if (image == mImage) return;
    mImage = image;
    const QPoint origin = picScreen->contentsRect().topLeft();
    imgWindow->setGeometry(origin.x() + DesignPixels(image.left), origin.y() + DesignPixels(image.top),
                           DesignPixels(image.width), DesignPixels(image.height));
}

void Form1::DrawForm() {
    const bool showLayout = mnuOptionsShowLayout->isChecked();
    picScreen->resize(picScreen->width(), DesignPixels(mScreenViewHeight));
    const double bottom = showLayout ? kScreenViewTop + mScreenViewHeight
                                     : kLayoutSwitchTop + kLayoutSwitchSize;
    const int height = DesignPixels(bottom + kBottomMargin);
    if (height != this->height()) setFixedSize(width(), height);
    chkShowLayout->setChecked(showLayout);
    SetTopmost(desktop_.windows, this, true);
}

void Form1::chkShowLayout_Click() {
    mnuOptionsShowLayout->setChecked(chkShowLayout->isChecked());
    DrawForm();
    LoseFocus();
}

// The entry inverts its check mark and redraws, as choosing it from the menu does.
void Form1::mnuOptionsShowLayout_Click() { mnuOptionsShowLayout->trigger(); }

void Form1::imgWindow_MouseDown(Qt::MouseButton button, QPoint at) {
    LoseFocus();
    if (button == Qt::LeftButton) {
        mDragging = true;
        mGrabX = static_cast<std::int32_t>(at.x() * kDesignTwipsPerPixel);
        mGrabY = static_cast<std::int32_t>(at.y() * kDesignTwipsPerPixel);
    } else if (button == Qt::RightButton) {
        ShowPopup(nullptr);
    }
}

void Form1::imgWindow_MouseMove(Qt::MouseButtons held, QPoint at) {
    if (held != Qt::LeftButton || !mDragging) return;
    ViewRect moved = mImage;
    moved.left = PinToLong(at.x() * kDesignTwipsPerPixel - mGrabX + mImage.left);
    moved.top = PinToLong(at.y() * kDesignTwipsPerPixel - mGrabY + mImage.top);
    PlaceImage(moved);
    // The image is not confined to the view: the target may go off the screen.
    const Point screen = ViewToScreen(moved.left, moved.top, LayoutScale());
    lblWindowDimension[kLeft]->setText(QString::number(screen.x));
    lblWindowDimension[kTop]->setText(QString::number(screen.y));
    PlaceTarget();
}

void Form1::imgWindow_MouseUp() { mDragging = false; }

}  // namespace sw
