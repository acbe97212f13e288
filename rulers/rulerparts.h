// The ruler's own widgets: the title strip and the end handles, which report
// their mouse events in screen pixels, and the scale strip, which paints the
// ticks and numbers from one picture built at load, with the red highlight and
// the measure line over it.
#pragma once

#include <functional>
#include <optional>
#include <utility>

#include <QPixmap>
#include <QWidget>

#include "axis.h"
#include "scale.h"

namespace sw {

class TitleStrip final : public QWidget {
public:
    explicit TitleStrip(QWidget* parent);
    // The left button's press, moves while it is held, and its release, at the
    // pointer's screen pixel.
    std::function<void(QPoint globalPx)> onPress;
    std::function<void(QPoint globalPx)> onMove;
    std::function<void()> onRelease;

protected:
    // The read-outs on the strip let the mouse through; their tips are shown from here.
    bool event(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QPoint globalPx(const QMouseEvent* event) const;
};

class DragHandle final : public QWidget {
public:
    DragHandle(Axis axis, QWidget* parent);
    // Button 1 is the left button alone, 0 none, 2 anything else; x and y in the
    // handle's own screen pixels.
    std::function<void(int button, double x, double y)> onPress;
    std::function<void(int button, double x, double y)> onMove;
    std::function<void()> onRelease;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    Axis axis_;
};

class ScaleStrip final : public QWidget {
public:
    // A number's box across the strip, in device-independent pixels.
    static constexpr int kNumberHeight = 12;
    static constexpr int kNumberWidth = 21;
    // The scale's font at the device pixel ratio: Arial 6.75 point, which is
    // 9 pixels at the usual 96 dots per inch.
    static QFont scaleFont(double ratio);

    ScaleStrip(Axis axis, QWidget* parent);
    // Paints the marks once, in screen pixels, onto the strip's picture.
    void render(const ScaleMarks& marks, int stripLength, double ratio);
    // Where the strip starts in the ruler, in screen pixels .
    void setOffset(int offset);
    int offset() const { return offset_; }
    // The red line and the measure line, in strip co-ordinates; only the pixels
    // that change are repainted.
    void setHighlight(int pos);
    void setMeasure(std::optional<std::pair<int, int>> line);
    int highlight() const { return highlight_; }
    std::optional<std::pair<int, int>> measure() const { return measure_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // Repaints the columns (rows) of the ruler's screen pixels from..to.
    void updateSpan(int from, int to);

    Axis axis_;
    QPixmap strip_;
    int offset_ = 0;
    int highlight_ = -1;
    std::optional<std::pair<int, int>> measure_;
};

}  // namespace sw
