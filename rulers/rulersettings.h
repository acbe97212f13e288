// A ruler's stored place and length: which keys hold them for each axis, what
// is saved while a lock is in force, and how stored values are brought into
// range so that a ruler always comes back usable and on the screen.
#pragma once

#include "locking.h"
#include "settings.h"

namespace sw {

// What a ruler keeps: its place along the axis (edge in twips, length in
// pixels) and its edge across the axis in twips (Top of the horizontal ruler,
// Left of the vertical one), which no lock changes.
struct StoredRuler {
    RulerPlace place;
    double across = 0;
    friend bool operator==(const StoredRuler&, const StoredRuler&) = default;
};

// The longest a stored ruler may be, in screen lengths along its axis.
inline constexpr int kMaximumScreenLengths = 16;

// The keys of a ruler, for its axis: edge across, edge along, length.
const SettingKey& rulerAcrossSetting(Axis axis);
const SettingKey& rulerEdgeSetting(Axis axis);
const SettingKey& rulerLengthSetting(Axis axis);
// The scale mode both rulers share.
const SettingKey& rulerModeSetting();

// A length below 301 pixels or beyond sixteen screen lengths is brought to the
// nearer bound. A ruler that lies wholly outside the screen along either screen
// axis comes back onto it on that axis: one before the screen starts at its
// edge, one beyond it ends at its far edge (or starts at 0 when it is longer
// than the screen). A ruler that shows even one pixel stays where it is. On a
// desktop of several monitors a ruler whose title strip is on none is brought
// onto the nearest one instead.
StoredRuler bringIntoRange(Axis axis, StoredRuler stored, const ScreenMetrics& screen);
// The ruler moved onto the nearest monitor when its title strip is on none.
StoredRuler bringOntoMonitor(Axis axis, StoredRuler stored, const ScreenMetrics& screen);

// The stored values, brought into range; text that is not a number reads as
// the key's default.
StoredRuler readRulerSettings(SettingsStore& store, Axis axis, const ScreenMetrics& screen);

// What is saved: while locked, the place the ruler had when it was last free.
StoredRuler rulerToSave(const LockState& lock, const StoredRuler& current);

// False when the store refused a value. Values are rounded halves to even.
bool writeRulerSettings(SettingsStore& store, Axis axis, const StoredRuler& stored);

}  // namespace sw
