// The two rulers as one: it owns the horizontal and the vertical ruler, their
// shared scale mode, whether they are shown, their stored places, and the
// pointer work that drives both (the co-ordinates, the red lines and measuring).
#pragma once

#include <chrono>
#include <cstdint>
#include <memory>

#include <QObject>

#include "desktop.h"
#include "measuring.h"

class QTimer;

namespace sw {

class Target;
class frmRuler;

class Rulers final : public QObject {
    Q_OBJECT

public:
    // Under a fast mouse the pointer work runs at most this often.
    static constexpr std::chrono::milliseconds kPointerSpacing{10};

    // The desktop pieces the rulers use; the store is read when they are first
    // built and written by SaveRulerConfig.
    Rulers(WindowSystem& windows, PointerInput& pointer, SettingsStore& settings,
           const ScreenMetrics& screen, const Target& target, QObject* parent = nullptr);
    ~Rulers() override;

    // Shows or hides both rulers (`ShowRulers`); the first showing builds them.
    // Showing shown rulers leaves them where they are.
    void ShowRulers(bool state);
    bool shown() const { return mShown; }

    // What the monitor read: both rulers take the active caption while either is
    // the foreground window, and a ruler locked to the target follows it. The
    // first reading builds the rulers.
    void ShowReading(WindowId foreground, const Rect& shownTarget);

    // The scale mode of both rulers: 0 relative, anything else absolute.
    std::int32_t mode() const { return gRulerMode; }
    void ChangeMode(std::int32_t mode);
    // The monitors changed: each ruler is brought back into sight.
    void ScreenChanged(const ScreenMetrics& screen);

    // Writes both rulers' places and the scale mode. Reads no widget, so it can
    // run after the display has gone. False when the store refused a value.
    bool SaveRulerConfig() const;
    // The end: the pointer work stops and the rulers hide.
    void Unload();

    frmRuler& horizontal() const { return *frmHorizRuler; }
    frmRuler& vertical() const { return *frmVertRuler; }

signals:
    void shownChanged(bool shown);

private:
    // Builds both rulers the first time they are needed.
    void Load();
    // The pointer or a key changed: the pointer work runs as soon as the spacing allows.
    void PointerChanged();
    // The pointer work (`tmrMousePosition_Timer`): the co-ordinates, the red lines
    // and measuring, run while the rulers are shown, when the pointer or a key
    // changed, a ruler moved or the scale mode changed.
    void PointerWork();

    PointerInput& pointer_;
    SettingsStore& settings_;
    ScreenMetrics mScreen;
    std::unique_ptr<frmRuler> frmHorizRuler;
    std::unique_ptr<frmRuler> frmVertRuler;
    std::int32_t gRulerMode = 0;
    bool mShown = false;
    QTimer* tmrMousePosition = nullptr;  // the next pointer work, when one is due
    std::chrono::steady_clock::time_point mLastPointerWork;
    PointerTracker mTracker;
};

}  // namespace sw
