// The two rulers as one: it owns the horizontal and the vertical ruler, their shared scale mode,
// whether they are shown, their stored places, and the pointer work that drives both (the
// co-ordinates, the red lines and measuring).
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>

#include <QObject>

#include "clock.h"
#include "desktop.h"
#include "measuring.h"
#include "scale.h"

class QTimer;

namespace sw {

class RulerWindow;
class ScreenModel;
class Target;
struct TargetReading;

class Rulers final : public QObject {
    Q_OBJECT

public:
    // Under a fast mouse the pointer work runs at most this often.
    static constexpr std::chrono::milliseconds kPointerSpacing{10};

    // The store is read when the rulers are first built and written by save().
    Rulers(WindowSystem& windows, PointerInput& pointer, SettingsStore& settings,
           const ScreenModel& screen, const Target& target, Clock clock, QObject* parent = nullptr);
    ~Rulers() override;

    // Shows or hides both rulers; the first showing builds them. Showing shown rulers leaves
    // them where they are.
    void setShown(bool shown);
    bool isShown() const { return shown_; }
    void setScaleMode(ScaleMode mode);

    // Writes both rulers' places and the scale mode. Reads no widget, so it can run after the
    // display has gone. False when the store refused a value.
    bool save() const;
    // The end: the pointer work stops and the rulers hide.
    void end();

signals:
    void shownChanged(bool shown);

private:
    // Builds both rulers the first time they are needed.
    void load();
    // Both rulers take the active caption while either is the foreground window, and a ruler
    // locked to the target follows it. The first reading builds the rulers.
    void showReading(const TargetReading& reading);
    // The pointer or a key changed: the pointer work runs as soon as the spacing allows.
    void pointerChanged();
    // The co-ordinates, the red lines and measuring, while the rulers are shown, when the
    // pointer or a key changed, a ruler moved or the scale mode changed.
    void pointerWork();
    // Which clicks the rulers take from the windows under the pointer: a SHIFT+left press while
    // shown, every click while measuring.
    void followMeasuring(const KeyStates& keys);
    void armMeasuring();
    void takeClicks(ClickCapture capture);

    PointerInput& pointer_;
    SettingsStore& settings_;
    const ScreenModel& screen_;
    Clock clock_;
    std::unique_ptr<RulerWindow> horizontal_;
    std::unique_ptr<RulerWindow> vertical_;
    ScaleMode mode_ = ScaleMode::Relative;
    bool shown_ = false;
    QTimer* due_ = nullptr;  // the next pointer work, when one is due
    TimePoint lastWork_{};
    PointerTracker tracker_;
    ClickCapture capture_ = ClickCapture::Off;
};

}  // namespace sw
