// The target's title on the main window, with "..." after a title too long for its line, and
// the marquee: a strip in which the program's name, "FreeWare From" and the maker's name scroll
// up in turn, each resting for a second.
#pragma once

#include <QObject>
#include <QString>

#include "marquee.h"
#include "widgets.h"

class QLabel;
class QTimer;
class QWidget;

namespace sw {

class MarqueeStrip;
class Target;

class TitleMarquee final : public QObject {
    Q_OBJECT

public:
    // The title line and the strip are made on window; the title follows the target.
    TitleMarquee(QWidget* window, const Target& target);

    // The marquee moves only while it can be seen; it goes on from where it stopped.
    void setRunning(bool running);

private:
    void setTitle(const QString& title);
    void step();
    void endPause();

    QLabel* caption_ = nullptr;
    QLabel* title_ = nullptr;
    QLabel* ellipsis_ = nullptr;
    // The strip paints its one line of text itself (the scrolling label is not a widget of its
    // own), so that a step repaints one small opaque widget.
    MarqueeStrip* strip_ = nullptr;
    QTimer* stepTimer_ = nullptr;
    QTimer* pauseTimer_ = nullptr;
    // The marquee's motion, in twips.
    Marquee marquee_;
    const LayoutScale units_;
};

}  // namespace sw
