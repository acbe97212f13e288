// The layout view and its switch.
#include "layoutview.h"

#include <QFrame>
#include <QPainter>
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

// The monitors' outlines in the view, under the target's image; on a desktop of
// one monitor there are none, as the view is that monitor.
class MonitorOutlines final : public QWidget {
public:
    explicit MonitorOutlines(QWidget* parent) : QWidget(parent) {
        setObjectName("picMonitors");
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }
    void setOutlines(std::vector<ViewRect> outlines) {
        if (outlines == mOutlines) return;
        mOutlines = std::move(outlines);
        update();
    }
    const std::vector<ViewRect>& outlines() const { return mOutlines; }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setPen(QColor(96, 96, 192));
        for (const ViewRect& r : mOutlines) {
            painter.drawRect(DesignPixels(r.left), DesignPixels(r.top), DesignPixels(r.width) - 1,
                             DesignPixels(r.height) - 1);
        }
    }

private:
    std::vector<ViewRect> mOutlines;
};

LayoutView::LayoutView(QWidget* form, const ScreenMetrics& screen)
    : QObject(form), mScreen(screen), mScreenViewHeight(ViewHeightFor(screen, kScreenViewWidth)) {
    chkShowLayout = new QToolButton(form);
    chkShowLayout->setObjectName("chkShowLayout");
    chkShowLayout->setGeometry(
        DesignRect(kLayoutSwitchLeft, kLayoutSwitchTop, kLayoutSwitchSize, kLayoutSwitchSize));
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
    picScreen->setGeometry(
        DesignRect(kScreenViewLeft, kScreenViewTop, kScreenViewWidth, kScreenViewDesignHeight));
    picScreen->setFrameStyle(QFrame::Box | QFrame::Plain);
    picScreen->setLineWidth(1);
    picScreen->setStyleSheet("QFrame { background: rgb(192, 192, 255); }");
    picScreen->resize(picScreen->width(), DesignPixels(mScreenViewHeight));

    picMonitors = new MonitorOutlines(picScreen);
    picMonitors->setGeometry(picScreen->contentsRect());
    ShowMonitors();
    imgWindow = new ImageBox(picScreen);
    imgWindow->setObjectName("imgWindow");
    imgWindow->setPixmap(glyphs::WindowPicture());
    imgWindow->setScaledContents(true);
    imgWindow->onMouseDown = [this](Qt::MouseButton b, Qt::MouseButtons, QPoint at) {
        imgWindow_MouseDown(b, at);
    };
    imgWindow->onMouseMove = [this](Qt::MouseButton, Qt::MouseButtons held, QPoint at) {
        imgWindow_MouseMove(held, at);
    };
    imgWindow->onMouseUp = [this](Qt::MouseButton, Qt::MouseButtons, QPoint) {
        imgWindow_MouseUp();
    };
    const ViewRect start = mImage;
    mImage = ViewRect{-1, -1, -1, -1};
    PlaceImage(start);
}

bool LayoutView::isShown() const {
    return chkShowLayout->isChecked();
}

void LayoutView::setShown(bool shown) {
    chkShowLayout->setChecked(shown);
}

double LayoutView::bottomTwips() const {
    return isShown() ? kScreenViewTop + mScreenViewHeight : kLayoutSwitchTop + kLayoutSwitchSize;
}

ViewScale LayoutView::LayoutScale() const {
    const QRect inner = picScreen->contentsRect();
    return MakeViewScale(mScreen, inner.width() * kDesignTwipsPerPixel,
                         inner.height() * kDesignTwipsPerPixel);
}

void LayoutView::setScreen(const ScreenMetrics& screen) {
    mScreen = screen;
    ShowMonitors();
}

void LayoutView::ShowMonitors() {
    std::vector<ViewRect> outlines;
    if (mScreen.monitors.size() > 1) {
        for (const Rect& monitor : mScreen.monitors)
            outlines.push_back(ScreenToView(monitor, LayoutScale()));
    }
    picMonitors->setOutlines(std::move(outlines));
}

void LayoutView::ShowTarget(const Rect& shown) {
    if (!mDragging) PlaceImage(ScreenToView(shown, LayoutScale()));
}

void LayoutView::PlaceImage(const ViewRect& image) {
    // Only what changed is written, so a still target repaints nothing.
    if (image == mImage) return;
    mImage = image;
    const QPoint origin = picScreen->contentsRect().topLeft();
    imgWindow->setGeometry(origin.x() + DesignPixels(image.left),
                           origin.y() + DesignPixels(image.top), DesignPixels(image.width),
                           DesignPixels(image.height));
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

void LayoutView::imgWindow_MouseUp() {
    mDragging = false;
}

}  // namespace sw
