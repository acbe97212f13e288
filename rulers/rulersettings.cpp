// A ruler's stored place and length.
#include "rulersettings.h"

#include <algorithm>
#include <cmath>

#include "monitorgeometry.h"
#include "numbers.h"

namespace sw {
namespace {

const char* sectionOf(Axis axis) {
    return axis == Axis::Horizontal ? kHorizontalRulerSection : kVerticalRulerSection;
}

// One screen axis. Only a span that shows nothing moves; one longer than the
// screen starts at 0, so that its start handle is in reach.
double onScreen(double edge, double extent, double screenExtent) {
    if (edge + extent <= 0) return 0;
    if (edge >= screenExtent) return std::max(roundHalfEven(screenExtent - extent), 0.0);
    return edge;
}

std::int32_t rounded(double value) {
    return pinToInt32(roundHalfEven(value));
}

}  // namespace

const SettingKey& rulerAcrossSetting(Axis axis) {
    return setting(sectionOf(axis), axis == Axis::Horizontal ? "Top" : "Left");
}

const SettingKey& rulerEdgeSetting(Axis axis) {
    return setting(sectionOf(axis), axis == Axis::Horizontal ? "Left" : "Top");
}

const SettingKey& rulerLengthSetting(Axis axis) {
    return setting(sectionOf(axis), axis == Axis::Horizontal ? "Width" : "Height");
}

const SettingKey& rulerModeSetting() {
    return setting(kRulerSection, "Mode");
}

StoredRuler bringIntoRange(Axis axis, StoredRuler s, const ScreenMetrics& screen) {
    const double longest = double{kMaximumScreenLengths} * screenLength(axis, screen);
    s.place.length = std::max(std::min(s.place.length, longest), double{kMinimumRulerLength});
    const Axis acrossAxis = otherAxis(axis);
    const double tppAlong = twipsPerPixel(axis, screen);
    const double tppAcross = twipsPerPixel(acrossAxis, screen);
    // Among several monitors, which may lie at negative co-ordinates, only the
    // title strip's being in sight counts.
    if (screen.monitors.size() > 1) return bringOntoMonitor(axis, s, screen);
    s.place.edge =
        onScreen(s.place.edge, s.place.length * tppAlong, screenLength(axis, screen) * tppAlong);
    s.across = onScreen(s.across, thickness(axis) * tppAcross,
                        screenLength(acrossAxis, screen) * tppAcross);
    return s;
}

StoredRuler bringOntoMonitor(Axis axis, StoredRuler s, const ScreenMetrics& screen) {
    const Axis acrossAxis = otherAxis(axis);
    const double tppAlong = twipsPerPixel(axis, screen);
    const double tppAcross = twipsPerPixel(acrossAxis, screen);
    const std::int32_t along = rounded(s.place.edge / tppAlong);
    const std::int32_t across = rounded(s.across / tppAcross);
    const std::int32_t length = rounded(s.place.length);
    const bool horizontal = axis == Axis::Horizontal;
    const Point at = horizontal ? Point{along, across} : Point{across, along};
    const Point onto = ontoMonitor(screen.monitors, at, horizontal ? length : thickness(axis),
                                   horizontal ? thickness(axis) : length);
    if (onto == at) return s;
    s.place.edge = coordinateAlong(axis, onto) * tppAlong;
    s.across = coordinateAcross(axis, onto) * tppAcross;
    return s;
}

StoredRuler readRulerSettings(SettingsStore& store, Axis axis, const ScreenMetrics& screen) {
    StoredRuler s;
    s.across = readInt32(store, rulerAcrossSetting(axis));
    s.place.edge = readInt32(store, rulerEdgeSetting(axis));
    s.place.length = readInt32(store, rulerLengthSetting(axis));
    return bringIntoRange(axis, s, screen);
}

StoredRuler rulerToSave(const LockState& lock, const StoredRuler& current) {
    if (lock.lock == RulerLock::Free) return current;
    return StoredRuler{RulerPlace{lock.freeEdge, lock.freeLength}, current.across};
}

bool writeRulerSettings(SettingsStore& store, Axis axis, const StoredRuler& s) {
    // In the settings table's order: across, edge, length.
    bool ok = writeInt32(store, rulerAcrossSetting(axis), rounded(s.across));
    ok = writeInt32(store, rulerEdgeSetting(axis), rounded(s.place.edge)) && ok;
    return writeInt32(store, rulerLengthSetting(axis), rounded(s.place.length)) && ok;
}

}  // namespace sw
