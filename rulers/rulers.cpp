// The two rulers, their shared mode and the pointer work.
#include "rulers.h"

#include <QTimer>

#include "nativehandle.h"
#include "rulersettings.h"
#include "rulerwindow.h"
#include "screenmodel.h"
#include "settings.h"
#include "target.h"
#include "windowutils.h"

namespace sw {

Rulers::Rulers(WindowSystem& windows, PointerInput& pointer, SettingsStore& settings,
               const ScreenModel& screen, const Target& target, Clock clock, QObject* parent)
    : QObject(parent),
      pointer_(pointer),
      settings_(settings),
      screen_(screen),
      clock_(std::move(clock)),
      horizontal_(std::make_unique<RulerWindow>(Axis::Horizontal, windows, screen, target)),
      vertical_(std::make_unique<RulerWindow>(Axis::Vertical, windows, screen, target)) {
    due_ = new QTimer(this);
    due_->setSingleShot(true);
    connect(due_, &QTimer::timeout, this, &Rulers::pointerWork);
    for (RulerWindow* ruler : {horizontal_.get(), vertical_.get()}) {
        connect(ruler, &RulerWindow::closeClicked, this, [this] { setShown(false); });
        connect(ruler, &RulerWindow::modeChosen, this, &Rulers::setScaleMode);
        connect(ruler, &RulerWindow::moved, this, &Rulers::pointerWork);
        connect(ruler, &RulerWindow::measureChosen, this, &Rulers::armMeasuring);
        ruler->offerMeasure(!pointer_.takesShiftClicksEverywhere());
    }
    connect(&target, &Target::changed, this, &Rulers::showReading);
}

Rulers::~Rulers() = default;

void Rulers::load() {
    if (horizontal_->isLoaded()) return;
    // The horizontal ruler loads the mode both share.
    mode_ = scaleModeFromStored(readInt32(settings_, rulerModeSetting()));
    for (RulerWindow* ruler : {horizontal_.get(), vertical_.get()}) {
        ruler->load(readRulerSettings(settings_, ruler->axis(), screen_.metrics()), mode_);
    }
}

void Rulers::setShown(bool shown) {
    if (shown && !shown_) {
        // Presses made while the rulers were hidden do not count.
        pointer_.readPointer();
        pointer_.setInputHandler([this] { pointerChanged(); });
        takeClicks(ClickCapture::ShiftLeft);
    } else if (!shown) {
        pointer_.setInputHandler(nullptr);
        takeClicks(ClickCapture::Off);
        due_->stop();
    }
    shown_ = shown;
    for (RulerWindow* ruler : {horizontal_.get(), vertical_.get()}) {
        if (shown) {
            load();
            if (!ruler->isVisible()) ruler->show();
        } else {
            ruler->hide();
        }
    }
    if (shown) pointerWork();
    emit shownChanged(shown);
}

void Rulers::showReading(const TargetReading& reading) {
    load();
    const WindowId fg = reading.foreground;
    const bool rulerActive =
        fg != 0 && (fg == nativeHandle(horizontal_.get()) || fg == nativeHandle(vertical_.get()));
    for (RulerWindow* ruler : {horizontal_.get(), vertical_.get()}) {
        ruler->setActiveCaption(rulerActive);
        ruler->followTarget(reading.frame);
    }
}

void Rulers::setScaleMode(ScaleMode mode) {
    mode_ = mode;
    horizontal_->setScaleMode(mode);
    vertical_->setScaleMode(mode);
    pointerWork();
}

bool Rulers::save() const {
    if (!horizontal_->isLoaded()) return true;
    // In the table's order: the horizontal ruler, the mode, the vertical ruler.
    bool ok = writeRulerSettings(settings_, Axis::Horizontal, horizontal_->placeToSave());
    ok = writeInt32(settings_, rulerModeSetting(), storedScaleMode(mode_)) && ok;
    return writeRulerSettings(settings_, Axis::Vertical, vertical_->placeToSave()) && ok;
}

void Rulers::end() {
    pointer_.setInputHandler(nullptr);
    takeClicks(ClickCapture::Off);
    due_->stop();
    shown_ = false;
    horizontal_->hide();
    vertical_->hide();
}

void Rulers::pointerChanged() {
    if (due_->isActive()) return;
    // Told from the event loop: the work runs in this turn when the spacing allows.
    const auto since = clock_() - lastWork_;
    if (since >= kPointerSpacing) {
        pointerWork();
    } else {
        due_->start(std::chrono::ceil<std::chrono::milliseconds>(kPointerSpacing - since));
    }
}

void Rulers::pointerWork() {
    if (!shown_ || !horizontal_->isLoaded()) return;
    due_->stop();
    lastWork_ = clock_();
    const PointerSnapshot snap = pointer_.readPointer();
    const RulerOrigin origin{static_cast<double>(horizontal_->edge()),
                             static_cast<double>(vertical_->edge())};
    PointerReadout r = tracker_.track(snap, mode_, origin);
    // Sizes are pixels; on a monitor Qt scales, users also ask for its own units.
    if (r.measureShown)
        r.measure = measureCaption(r.measureWidth, r.measureHeight, ratioAt(snap.position));
    const auto line = [&](std::int32_t start, std::int32_t end) {
        return r.lines.visible ? std::optional(std::pair{start, end}) : std::nullopt;
    };
    horizontal_->showPointer(r.pos.x, line(r.lines.start.x, r.lines.end.x));
    vertical_->showPointer(r.pos.y, line(r.lines.start.y, r.lines.end.y));
    horizontal_->showReadout(r);
    followMeasuring(snap.keys);
}

void Rulers::followMeasuring(const KeyStates& keys) {
    // While measuring every click is the rulers' alone; after the end click, until its button is
    // up, so that its release reaches no window either. A release makes no event of its own
    // where the pointer is still, so the buttons are looked at again until then.
    const bool held = capture_ == ClickCapture::All && (keys.left || keys.right);
    const bool all = tracker_.measuring() || tracker_.armed() || held;
    takeClicks(all ? ClickCapture::All : ClickCapture::ShiftLeft);
    if (held && !tracker_.measuring()) due_->start(kPointerSpacing);
}

// Where SHIFT+clicks on other windows cannot be taken: every click is taken from now on, and the
// next left one starts the measurement.
void Rulers::armMeasuring() {
    if (!shown_) return;
    pointer_.readPointer();  // what was pressed before does not count
    tracker_.arm();
    takeClicks(ClickCapture::All);
}

void Rulers::takeClicks(ClickCapture capture) {
    if (capture == capture_) return;
    capture_ = capture;
    pointer_.setClickCapture(capture);
}

}  // namespace sw
