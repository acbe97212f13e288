// The layout view on the main window: a scaled picture of the screen with the
// target's rectangle in it, dragging that rectangle to move the target, and the
// switch that folds the view away.
#pragma once

#include <cstdint>

#include <QObject>
#include <QPoint>

#include "desktop.h"
#include "viewscale.h"

class QFrame;
class QToolButton;
class QWidget;

namespace sw {

class ImageBox;
class MonitorOutlines;

class LayoutView final : public QObject {
    Q_OBJECT

public:
    // The view is made on form, in the screen's proportions.
    LayoutView(QWidget* form, const ScreenMetrics& screen);

    // The placement step of a poll: the image goes where the target is, writing
    // only what changed. Skipped during a drag.
    void ShowTarget(const Rect& shown);
    // The monitors changed: their outlines are drawn anew. The view keeps the
    // proportions it was made with.
    void setScreen(const ScreenMetrics& screen);
    bool dragging() const { return mDragging; }

    // The switch (`chkShowLayout`); setting it does not report a switch.
    bool isShown() const;
    void setShown(bool shown);
    // Where the window's content ends, in twips: below the view when it is
    // shown, below the switch when it is folded.
    double bottomTwips() const;

signals:
    // The user clicked the switch.
    void switched(bool shown);
    // The image was dragged: the target's new top-left corner in screen pixels.
    void dragged(sw::Point topLeft);
    // A right click on the image: the pop-up menu at the pointer.
    void menuRequested();

private:
    void imgWindow_MouseDown(Qt::MouseButton button, QPoint at);
    void imgWindow_MouseMove(Qt::MouseButtons held, QPoint at);
    void imgWindow_MouseUp();
    void PlaceImage(const ViewRect& image);
    ViewScale LayoutScale() const;
    void ShowMonitors();

    ScreenMetrics mScreen;
    QToolButton* chkShowLayout = nullptr;
    QFrame* picScreen = nullptr;
    ImageBox* imgWindow = nullptr;
    MonitorOutlines* picMonitors = nullptr;
    // The picture box's height in twips, from the screen's proportions.
    double mScreenViewHeight = 0;
    // The image's place in view units; the widget shows it rounded to pixels.
    ViewRect mImage{240, 120, 480, 480};
    bool mDragging = false;
    std::int32_t mGrabX = 0;  // view units inside the image
    std::int32_t mGrabY = 0;
};

}  // namespace sw
