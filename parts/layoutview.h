// The layout view on the main window: a scaled picture of the desktop with the target's frame in
// it (and each monitor's outline when there are several), dragging that frame to move the
// target, and the switch that folds the view away.
#pragma once

#include <cstdint>

#include <QObject>
#include <QPoint>

#include "desktop.h"
#include "viewscale.h"
#include "widgets.h"

class QFrame;
class QToolButton;
class QWidget;

namespace sw {

class ImageBox;
class MonitorOutlines;
class ScreenModel;
class Target;

class LayoutView final : public QObject {
    Q_OBJECT

public:
    // The view is made on window, in the desktop's proportions, which it keeps when the monitors
    // change later.
    LayoutView(QWidget* window, const ScreenModel& screen, Target& target);

    // The switch; setting it does not report a switch.
    bool isShown() const;
    void setShown(bool shown);
    // Where the window's content ends, in twips: below the view when it is shown, below the
    // switch when it is folded.
    double bottomTwips() const;

signals:
    // The user clicked the switch.
    void switched(bool shown);
    // A right click on the target's picture: the pop-up menu at the pointer.
    void menuRequested();

private:
    void showFrame(const Rect& frame);
    void showMonitors();
    void press(Qt::MouseButton button, QPoint at);
    void drag(Qt::MouseButtons held, QPoint at);
    void placeImage(const ViewRect& image);
    ViewScale scale() const;

    const ScreenModel& screen_;
    Target& target_;
    const LayoutScale units_;
    QToolButton* switch_ = nullptr;
    QFrame* view_ = nullptr;
    ImageBox* image_ = nullptr;
    MonitorOutlines* outlines_ = nullptr;
    // The view's height in twips, from the desktop's proportions.
    double viewHeight_ = 0;
    // The image's place in view units; the widget shows it rounded to pixels.
    ViewRect imageRect_{240, 120, 480, 480};
    bool dragging_ = false;
    QPoint grab_;  // view units inside the image
};

}  // namespace sw
