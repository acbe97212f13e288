// The two rulers, their shared mode and the pointer work.
#include "rulers.h"

#include <QTimer>

#include "frmruler.h"
#include "nativehandle.h"
#include "rulersettings.h"
#include "settings.h"
#include "windowutils.h"

namespace sw {

Rulers::Rulers(WindowSystem& windows, PointerInput& pointer, SettingsStore& settings,
               const ScreenMetrics& screen, const Target& target, QObject* parent)
    : QObject(parent),
      pointer_(pointer),
      settings_(settings),
      mScreen(screen),
      frmHorizRuler(std::make_unique<frmRuler>(Axis::Horizontal, windows, target)),
      frmVertRuler(std::make_unique<frmRuler>(Axis::Vertical, windows, target)) {
    tmrMousePosition = new QTimer(this);
    tmrMousePosition->setSingleShot(true);
    connect(tmrMousePosition, &QTimer::timeout, this, &Rulers::PointerWork);
    for (frmRuler* ruler : {frmHorizRuler.get(), frmVertRuler.get()}) {
        connect(ruler, &frmRuler::closeClicked, this, [this] { ShowRulers(false); });
        connect(ruler, &frmRuler::modeChosen, this, &Rulers::ChangeMode);
        connect(ruler, &frmRuler::moved, this, &Rulers::PointerWork);
    }
}

Rulers::~Rulers() = default;

void Rulers::Load() {
    if (frmHorizRuler->isLoaded()) return;
    // The horizontal ruler loads the mode both share.
    gRulerMode = ReadLong(settings_, RulerModeSetting());
    for (frmRuler* ruler : {frmHorizRuler.get(), frmVertRuler.get()}) {
        ruler->Form_Load(mScreen, ReadRulerConfig(settings_, ruler->axis(), mScreen), gRulerMode);
    }
}

void Rulers::ShowRulers(bool state) {
    if (state && !mShown) {
        // Presses made while the rulers were hidden do not count.
        pointer_.readPointer();
        pointer_.setInputHandler([this] { PointerChanged(); });
    } else if (!state) {
        pointer_.setInputHandler(nullptr);
        tmrMousePosition->stop();
    }
    mShown = state;
    for (frmRuler* ruler : {frmHorizRuler.get(), frmVertRuler.get()}) {
        if (state) {
            Load();
            if (!ruler->isVisible()) ruler->show();
        } else {
            ruler->hide();
        }
    }
    if (state) PointerWork();
    emit shownChanged(state);
}

void Rulers::ShowReading(WindowId foreground, const Rect& shownTarget) {
    Load();
    const bool rulerActive = foreground != 0 && (foreground == nativeHandle(frmHorizRuler.get()) ||
                                                 foreground == nativeHandle(frmVertRuler.get()));
    for (frmRuler* ruler : {frmHorizRuler.get(), frmVertRuler.get()}) {
        ruler->Active(rulerActive);
        ruler->FollowTarget(shownTarget);
    }
}

void Rulers::ScreenChanged(const ScreenMetrics& screen) {
    mScreen = screen;
    for (frmRuler* ruler : {frmHorizRuler.get(), frmVertRuler.get()}) {
        if (ruler != nullptr) ruler->ScreenChanged(screen);
    }
}

void Rulers::ChangeMode(std::int32_t mode) {
    gRulerMode = mode;
    frmHorizRuler->ApplyScaleMode(mode);
    frmVertRuler->ApplyScaleMode(mode);
    PointerWork();
}

bool Rulers::SaveRulerConfig() const {
    if (!frmHorizRuler->isLoaded()) return true;
    // In the table's order: the horizontal ruler, the mode, the vertical ruler.
    bool ok = WriteRulerConfig(settings_, Axis::Horizontal, frmHorizRuler->RulerToSave());
    ok = WriteLong(settings_, RulerModeSetting(), gRulerMode) && ok;
    return WriteRulerConfig(settings_, Axis::Vertical, frmVertRuler->RulerToSave()) && ok;
}

void Rulers::Unload() {
    pointer_.setInputHandler(nullptr);
    tmrMousePosition->stop();
    mShown = false;
    frmHorizRuler->hide();
    frmVertRuler->hide();
}

void Rulers::PointerChanged() {
    if (tmrMousePosition->isActive()) return;
    // Told from the event loop: the work runs in this turn when the spacing allows.
    const auto since = std::chrono::steady_clock::now() - mLastPointerWork;
    if (since >= kPointerSpacing) {
        PointerWork();
    } else {
        tmrMousePosition->start(
            std::chrono::ceil<std::chrono::milliseconds>(kPointerSpacing - since));
    }
}

void Rulers::PointerWork() {
    if (!mShown || !frmHorizRuler->isLoaded()) return;
    tmrMousePosition->stop();
    mLastPointerWork = std::chrono::steady_clock::now();
    const PointerSnapshot snap = pointer_.readPointer();
    const RulerOrigin origin{static_cast<double>(frmHorizRuler->edgePx()),
                             static_cast<double>(frmVertRuler->edgePx())};
    PointerReadout r = mTracker.Tick(snap, gRulerMode, origin);
    // Sizes are pixels; on a monitor Qt scales, users also ask for its own units.
    if (r.measureShown)
        r.measure = MeasureCaption(r.measureWidth, r.measureHeight, RatioAt(snap.position));
    frmHorizRuler->setHighlight(r.pos.x);
    frmVertRuler->setHighlight(r.pos.y);
    if (r.lines.visible) {
        frmHorizRuler->setMeasure(std::pair{r.lines.start.x, r.lines.end.x});
        frmVertRuler->setMeasure(std::pair{r.lines.start.y, r.lines.end.y});
    } else {
        frmHorizRuler->setMeasure(std::nullopt);
        frmVertRuler->setMeasure(std::nullopt);
    }
    frmHorizRuler->ShowReadout(r);
}

}  // namespace sw
