// The layout view and its switch.
#include "layoutview.h"

#include <QFrame>
#include <QToolButton>

#include "glyphs.h"
#include "widgets.h"

namespace sw {
namespace {

// Design geometry, in twips.
constexpr int kLayoutSwitchLeft = 3300;
constexpr int kLayoutSwitchTop = 870;
constexpr int kLayoutSwitchSize = 300;
constexpr int kScreenViewDesignHeight = 975;

}  // namespace

LayoutView::LayoutView(QWidget* form, const ScreenMetrics& screen)
    : QObject(form), mScreen(screen), mScreenViewHeight(ViewHeightFor(screen, kScreenViewWidth)) {
    chkShowLayout = new QToolButton(form);
    chkShowLayout->setObjectName("chkShowLayout");
    chkShowLayout->setGeometry(DesignRect(kLayoutSwitchLeft, kLayoutSwitchTop, kLayoutSwitchSize, kLayoutSwitchSize));
    chkShowLayout->setCheckable(true);
    chkShowLayout->setChecked(true);
    chkShowLayout->setIcon(glyphs::Layout());
    chkShowLayout->setToolTip("Show Window Layout");
    chkShowLayout->setAccessibleName("Show Window Layout");
    connect(chkShowLayout, &QToolButton::clicked, this, [this](bool checked) {
        LoseFocus(chkShowLayout);
        emit switched(checked);
    });

    picScreen = new QFrame(form);
    picScreen->setObjectName("picScreen");
    picScreen->setGeometry(DesignRect(kScreenViewLeft, kScreenViewTop, kScreenViewWidth, kScreenViewDesignHeight));
    picScreen->setFrameStyle(QFrame::Box | QFrame::Plain);
    picScreen->setLineWidth(1);
    picScreen->setStyleSheet("QFrame { background: rgb(192, 192, 255); }");
    picScreen->resize(picScreen->width(), DesignPixels(mScreenViewHeight));

    imgWindow = new ImageBox(picScreen);
    imgWindow->setObjectName("imgWindow");
    imgWindow->setPixmap(glyphs::WindowPicture());
    imgWindow->setScaledContents(true);
    imgWindow->onMouseDown = [this](Qt::MouseButton b, Qt::MouseButtons, QPoint at) { imgWindow_MouseDown(b, at); };
    imgWindow->onMouseMove = [this](Qt::MouseButton, Qt::MouseButtons held, QPoint at) { imgWindow_MouseMove(held, at); };
    imgWindow->onMouseUp = [this](Qt::MouseButton, Qt::MouseButtons, QPoint) { imgWindow_MouseUp(); };
    const ViewRect start = mImage;
    mImage = ViewRect{-1, -1, -1, -1};
    PlaceImage(start);
}

bool LayoutView::isShown() const { return chkShowLayout->isChecked(); }

void LayoutView::setShown(bool shown) { chkShowLayout->setChecked(shown); }

double LayoutView::bottomTwips() const {
    return isShown() ? kScreenViewTop + mScreenViewHeight : kLayoutSwitchTop + kLayoutSwitchSize;
}

ViewScale LayoutView::LayoutScale() const {
    const QRect inner = picScreen->contentsRect();
    return MakeViewScale(mScreen, inner.width() * kDesignTwipsPerPixel, inner.height() * kDesignTwipsPerPixel);
}

void LayoutView::ShowTarget(const Rect& shown) {
    if (!mDragging) PlaceImage(ScreenToView(shown, LayoutScale()));
}

void LayoutView::PlaceImage(const ViewRect& image) {
    // Only what changed is written, so a still target repaints nothing.
    if (image == mImage) return;
    mImage = image;
    const QPoint origin = picScreen->contentsRect().topLeft();
    imgWindow->setGeometry(origin.x() + DesignPixels(image.left), origin.y() + DesignPixels(image.top),
                           DesignPixels(image.width), DesignPixels(image.height));
}

void LayoutView::imgWindow_MouseDown(Qt::MouseButton button, QPoint at) {
    LoseFocus(imgWindow);
    if (button == Qt::LeftButton) {
        mDragging = true;
        mGrabX = static_cast<std::int32_t>(at.x() * kDesignTwipsPerPixel);
        mGrabY = static_cast<std::int32_t>(at.y() * kDesignTwipsPerPixel);
    } else if (button == Qt::RightButton) {
        emit menuRequested();
    }
}

void LayoutView::imgWindow_MouseMove(Qt::MouseButtons held, QPoint at) {
    if (held != Qt::LeftButton || !mDragging) return;
    ViewRect moved = mImage;
    moved.left = PinToLong(at.x() * kDesignTwipsPerPixel - mGrabX + mImage.left);
    moved.top = PinToLong(at.y() * kDesignTwipsPerPixel - mGrabY + mImage.top);
    PlaceImage(moved);
    // The image is not confined to the view: the target may go off the screen.
    emit dragged(ViewToScreen(moved.left, moved.top, LayoutScale()));
}

void LayoutView::imgWindow_MouseUp() { mDragging = false; }

}  // namespace sw
