// The layout view and its switch.
#include "layoutview.h"

#include <QFrame>
#include <QPainter>
#include <QToolButton>

#include "glyphs.h"
#include "screenmodel.h"
#include "target.h"
#include "widgets.h"

namespace sw {
namespace {

// Design geometry, in twips.
constexpr int kSwitchLeft = 3300;
constexpr int kSwitchTop = 870;
constexpr int kSwitchSize = 300;
constexpr int kViewDesignHeight = 975;

}  // namespace

// The monitors' outlines in the view, under the target's image; on a desktop of one monitor
// there are none, as the view is that monitor.
class MonitorOutlines final : public QWidget {
public:
    explicit MonitorOutlines(QWidget* parent) : QWidget(parent) {
        setObjectName("monitorOutlines");
        setAttribute(Qt::WA_TransparentForMouseEvents);
    }
    void setOutlines(std::vector<ViewRect> outlines) {
        if (outlines == outlines_) return;
        outlines_ = std::move(outlines);
        update();
    }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        painter.setPen(QColor(96, 96, 192));
        for (const ViewRect& r : outlines_) {
            painter.drawRect(units_.pixels(r.left), units_.pixels(r.top),
                             units_.pixels(r.width) - 1, units_.pixels(r.height) - 1);
        }
    }

private:
    const LayoutScale units_;
    std::vector<ViewRect> outlines_;
};

LayoutView::LayoutView(QWidget* window, const ScreenModel& screen, Target& target)
    : QObject(window),
      screen_(screen),
      target_(target),
      viewHeight_(viewHeightFor(screen.metrics(), kScreenViewWidth)) {
    switch_ = new QToolButton(window);
    switch_->setObjectName("layoutSwitch");
    switch_->setGeometry(designRect(kSwitchLeft, kSwitchTop, kSwitchSize, kSwitchSize));
    switch_->setCheckable(true);
    switch_->setChecked(true);
    switch_->setIcon(glyphs::layout());
    switch_->setToolTip("Show Window Layout");
    switch_->setAccessibleName("Show Window Layout");
    connect(switch_, &QToolButton::clicked, this, [this](bool checked) {
        byKeyboard(switch_);
        emit switched(checked);
    });

    view_ = new QFrame(window);
    view_->setObjectName("layoutView");
    view_->setGeometry(
        designRect(kScreenViewLeft, kScreenViewTop, kScreenViewWidth, kViewDesignHeight));
    view_->setFrameStyle(QFrame::Box | QFrame::Plain);
    view_->setLineWidth(1);
    view_->setStyleSheet("QFrame { background: rgb(192, 192, 255); }");
    view_->resize(view_->width(), layoutPixels(viewHeight_));
    view_->setToolTip("Window Layout - the screen, with the target window as a rectangle");
    view_->setAccessibleName("Window Layout");

    outlines_ = new MonitorOutlines(view_);
    outlines_->setGeometry(view_->contentsRect());
    showMonitors();
    image_ = new ImageBox(view_);
    image_->setObjectName("targetImage");
    image_->setToolTip("Target Window - drag it to move the window");
    image_->setAccessibleName("Target Window");
    image_->setPixmap(glyphs::windowPicture());
    image_->setScaledContents(true);
    image_->onMouseDown = [this](Qt::MouseButton b, Qt::MouseButtons, QPoint at) { press(b, at); };
    image_->onMouseMove = [this](Qt::MouseButton, Qt::MouseButtons held, QPoint at) {
        drag(held, at);
    };
    image_->onMouseUp = [this](Qt::MouseButton, Qt::MouseButtons, QPoint) { dragging_ = false; };
    const ViewRect start = imageRect_;
    imageRect_ = ViewRect{-1, -1, -1, -1};
    placeImage(start);
    connect(&screen, &ScreenModel::changed, this, &LayoutView::showMonitors);
    connect(&target, &Target::changed, this,
            [this](const TargetReading& reading) { showFrame(reading.frame); });
}

bool LayoutView::isShown() const {
    return switch_->isChecked();
}

void LayoutView::setShown(bool shown) {
    switch_->setChecked(shown);
}

double LayoutView::bottomTwips() const {
    return isShown() ? kScreenViewTop + viewHeight_ : kSwitchTop + kSwitchSize;
}

ViewScale LayoutView::scale() const {
    const QRect inner = view_->contentsRect();
    return makeViewScale(screen_.metrics(), inner.width() * units_.twipsPerPixel(),
                         inner.height() * units_.twipsPerPixel());
}

void LayoutView::showMonitors() {
    std::vector<ViewRect> outlines;
    if (screen_.monitors().size() > 1) {
        for (const Rect& monitor : screen_.monitors())
            outlines.push_back(screenToView(monitor, scale()));
    }
    outlines_->setOutlines(std::move(outlines));
}

void LayoutView::showFrame(const Rect& frame) {
    if (!dragging_) placeImage(screenToView(frame, scale()));
}

void LayoutView::placeImage(const ViewRect& image) {
    // Only what changed is written, so a still target repaints nothing.
    if (image == imageRect_) return;
    imageRect_ = image;
    const QPoint origin = view_->contentsRect().topLeft();
    image_->setGeometry(origin.x() + units_.pixels(image.left),
                        origin.y() + units_.pixels(image.top), units_.pixels(image.width),
                        units_.pixels(image.height));
}

void LayoutView::press(Qt::MouseButton button, QPoint at) {
    loseFocus(image_);
    if (button == Qt::LeftButton) {
        dragging_ = true;
        grab_ = at * units_.twipsPerPixel();
    } else if (button == Qt::RightButton) {
        emit menuRequested();
    }
}

void LayoutView::drag(Qt::MouseButtons held, QPoint at) {
    if (held != Qt::LeftButton || !dragging_) return;
    ViewRect moved = imageRect_;
    moved.left = pinToInt32(at.x() * units_.twipsPerPixel() - grab_.x() + imageRect_.left);
    moved.top = pinToInt32(at.y() * units_.twipsPerPixel() - grab_.y() + imageRect_.top);
    placeImage(moved);
    // The image is not confined to the view: the target may go off the screen.
    target_.moveTo(viewToScreen(moved.left, moved.top, scale()));
}

}  // namespace sw
