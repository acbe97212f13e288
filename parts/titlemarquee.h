// The target's title on the main window, with "..." after a title too long for
// its line, and the marquee: a strip in which the program's name, "FreeWare
// From" and the maker's name scroll up in turn, each resting for a second.
#pragma once

#include <optional>

#include <QObject>
#include <QString>

#include "marquee.h"

class QLabel;
class QTimer;
class QWidget;

namespace sw {

class MarqueeStrip;

class TitleMarquee final : public QObject {
    Q_OBJECT

public:
    // The title line and the strip are made on form.
    explicit TitleMarquee(QWidget* form);

    // The title line's caption and tip; the "..." follows the caption.
    void setTitle(const QString& title);
    QString title() const;
    // The marquee moves only while it can be seen; it goes on from where it stopped.
    void setRunning(bool running);

private:
    void tmrScroll_Timer();
    void tmrScrollPause_Timer();
    void lblWindowText_Change();

    QLabel* lblWatchingWindow = nullptr;
    QLabel* lblWindowText = nullptr;
    QLabel* lblElipses = nullptr;
    // The strip paints its one line of text itself (the scrolling label is not
    // a widget of its own), so that a step repaints one small opaque widget.
    MarqueeStrip* picScroll = nullptr;
    QTimer* tmrScroll = nullptr;
    QTimer* tmrScrollPause = nullptr;
    // The marquee's motion, in twips.
    std::optional<Marquee> mMarquee;
    bool mResting = false;
};

}  // namespace sw
