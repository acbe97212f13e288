// The ruler's own widgets: the title strip and the end handles, which hand
// their mouse events to the ruler in screen pixels, and the scale strip, which
// paints the ticks and numbers from one picture built at load.
#pragma once

#include <QPixmap>
#include <QWidget>

#include "rulers/scale.h"

namespace sw {

class frmRuler;

class TitleStrip final : public QWidget {
public:
    TitleStrip(frmRuler& ruler, QWidget* parent);

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    QPoint globalPx(const QMouseEvent* event) const;
    frmRuler& ruler_;
};

class DragHandle final : public QWidget {
public:
    DragHandle(frmRuler& ruler, int index, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    frmRuler& ruler_;
    int index_;
};

class ScaleStrip final : public QWidget {
public:
    // A number's box across the strip, in device-independent pixels.
    static constexpr int kNumberHeight = 12;
    static constexpr int kNumberWidth = 21;
    // The scale's font at the device pixel ratio: Arial 6.75 point, which is
    // 9 pixels at the usual 96 dots per inch.
    static QFont ScaleFont(double ratio);

    ScaleStrip(frmRuler& ruler, QWidget* parent);
    // Paints the marks once, in screen pixels, onto the strip's picture.
    void Render(const ScaleMarks& marks, int stripLength, double ratio);
    // Repaints the column (row) of screen pixel `pos` of the ruler.
    void updateAt(int pos);
    void updateSpan(int from, int to);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    frmRuler& ruler_;
    QPixmap strip_;
};

}  // namespace sw
