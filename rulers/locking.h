// The lock table of a ruler: free, locked to the screen or locked to the target window; where
// each lock puts the ruler along its axis and how long it makes it, the refusal to lock to a
// minimised window, and following the target.
#pragma once

#include <cstdint>
#include <optional>

#include "axis.h"

namespace sw {

enum class RulerLock { Free, Screen, Window };

inline constexpr const char* kCannotLockMinimised = "Cannot Lock to minimised window";

// A ruler's place along its axis: its start edge (Left of the horizontal ruler, Top of the
// vertical one) in twips and its length in pixels. No lock changes the position across the axis.
struct RulerPlace {
    double edge = 0;
    double length = 0;
    friend bool operator==(const RulerPlace&, const RulerPlace&) = default;
};

// The lock a ruler is in and the place it had when it was last free. Handles are shown only
// while free and the ruler follows the target only while locked to it, so both follow from lock.
struct LockState {
    RulerLock lock = RulerLock::Free;
    double freeEdge = 0;    // twips
    double freeLength = 0;  // pixels
};

struct LockOutcome {
    LockState state;
    // Where the ruler goes; none when it stays where it is.
    std::optional<RulerPlace> place;
    // The switch was made; a refused switch leaves the state's lock as it was.
    bool switched = false;
    // The switch was refused because the target is minimised: kCannotLockMinimised is to be
    // shown.
    bool refusedMinimised = false;
};

// Where a ruler locked to the target goes for the target's frame as shown; none while the
// target is minimised or when its frame could not be read (all zeros).
std::optional<RulerPlace> placeOnTarget(Axis axis, const Rect& target, const ScreenMetrics& screen);

// The lock switch, given the ruler's current place, the monitor it is on and the target's frame
// as shown. The free place is captured first whenever the ruler is free, even when the switch is
// then refused. Locked to the screen, the ruler spans its monitor. Locking to a window that is
// gone is refused without a message.
LockOutcome switchLock(Axis axis, const LockState& state, const RulerPlace& current, RulerLock lock,
                       const ScreenMetrics& screen, const Rect& monitor, const Rect& target);

// Following the target: the ruler moves only when the target's frame differs from the one seen
// last.
class TargetFollower {
public:
    std::optional<RulerPlace> follow(Axis axis, RulerLock lock, const Rect& target,
                                     const ScreenMetrics& screen);

private:
    Rect lastFrame_;
};

}  // namespace sw
