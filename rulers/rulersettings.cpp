// A ruler's stored place and length.
#include "rulersettings.h"

#include <algorithm>
#include <cmath>
#include <limits>

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
    if (edge >= screenExtent) return std::max(RoundHalfEven(screenExtent - extent), 0.0);
    return edge;
}

std::int32_t toLong(double value) {
    constexpr double lo = std::numeric_limits<std::int32_t>::min();
    constexpr double hi = std::numeric_limits<std::int32_t>::max();
    return static_cast<std::int32_t>(std::clamp(RoundHalfEven(value), lo, hi));
}

}  // namespace

const SettingKey& RulerAcrossSetting(Axis axis) {
    return Setting(sectionOf(axis), axis == Axis::Horizontal ? "Top" : "Left");
}

const SettingKey& RulerEdgeSetting(Axis axis) {
    return Setting(sectionOf(axis), axis == Axis::Horizontal ? "Left" : "Top");
}

const SettingKey& RulerLengthSetting(Axis axis) {
    return Setting(sectionOf(axis), axis == Axis::Horizontal ? "Width" : "Height");
}

const SettingKey& RulerModeSetting() {
    return Setting(kRulerSection, "Mode");
}

StoredRuler BringIntoRange(Axis axis, StoredRuler s, const ScreenMetrics& screen) {
    const double longest = double{kMaximumScreenLengths} * ScreenLength(axis, screen);
    s.place.length = std::max(std::min(s.place.length, longest), double{kMinimumRulerLength});
    const Axis acrossAxis = axis == Axis::Horizontal ? Axis::Vertical : Axis::Horizontal;
    const double tppAlong = TwipsPerPixel(axis, screen);
    const double tppAcross = TwipsPerPixel(acrossAxis, screen);
    // Among several monitors, which may lie at negative co-ordinates, only the
    // title strip's being in sight counts.
    if (screen.monitors.size() > 1) return BringOntoMonitor(axis, s, screen);
    s.place.edge =
        onScreen(s.place.edge, s.place.length * tppAlong, ScreenLength(axis, screen) * tppAlong);
    s.across = onScreen(s.across, Thickness(axis) * tppAcross,
                        ScreenLength(acrossAxis, screen) * tppAcross);
    return s;
}

StoredRuler BringOntoMonitor(Axis axis, StoredRuler s, const ScreenMetrics& screen) {
    const Axis acrossAxis = axis == Axis::Horizontal ? Axis::Vertical : Axis::Horizontal;
    const double tppAlong = TwipsPerPixel(axis, screen);
    const double tppAcross = TwipsPerPixel(acrossAxis, screen);
    const std::int32_t along = toLong(s.place.edge / tppAlong);
    const std::int32_t across = toLong(s.across / tppAcross);
    const std::int32_t length = toLong(s.place.length);
    const bool horizontal = axis == Axis::Horizontal;
    const Point at = horizontal ? Point{along, across} : Point{across, along};
    const Point onto = OntoMonitor(screen.monitors, at, horizontal ? length : Thickness(axis),
                                   horizontal ? Thickness(axis) : length);
    if (onto == at) return s;
    s.place.edge = Along(axis, onto) * tppAlong;
    s.across = Across(axis, onto) * tppAcross;
    return s;
}

StoredRuler ReadRulerConfig(SettingsStore& store, Axis axis, const ScreenMetrics& screen) {
    StoredRuler s;
    s.across = ReadLong(store, RulerAcrossSetting(axis));
    s.place.edge = ReadLong(store, RulerEdgeSetting(axis));
    s.place.length = ReadLong(store, RulerLengthSetting(axis));
    return BringIntoRange(axis, s, screen);
}

StoredRuler RulerToSave(const LockState& lock, const StoredRuler& current) {
    if (lock.mLockMode == kLockFree) return current;
    return StoredRuler{RulerPlace{lock.mFreeLeft, lock.mFreeLength}, current.across};
}

bool WriteRulerConfig(SettingsStore& store, Axis axis, const StoredRuler& s) {
    // In the settings table's order: across, edge, length.
    bool ok = WriteLong(store, RulerAcrossSetting(axis), toLong(s.across));
    ok = WriteLong(store, RulerEdgeSetting(axis), toLong(s.place.edge)) && ok;
    return WriteLong(store, RulerLengthSetting(axis), toLong(s.place.length)) && ok;
}

}  // namespace sw
