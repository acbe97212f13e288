// The lock table of a ruler: free, locked to the screen or locked to the active
// window; where each lock puts the ruler along its axis and how long it makes
// it, the refusal to lock to a minimised window, and the follow poll.
#pragma once

#include <cstdint>
#include <optional>

#include "axis.h"
#include "target.h"

namespace sw {

enum LockMode : std::int32_t { kLockFree = 0, kLockScreen = 1, kLockWindow = 2 };

inline constexpr const char* kCannotLockMinimised = "Cannot Lock to minimised window";

// A ruler's place along its axis: its start edge (Left of the horizontal ruler,
// Top of the vertical one) in twips and its length in pixels. No lock changes
// the position across the axis.
struct RulerPlace {
    double edge = 0;
    double length = 0;
    friend bool operator==(const RulerPlace&, const RulerPlace&) = default;
};

// The lock state each ruler keeps. Handles are shown only while free and the
// follow poll runs only while locked to the active window, so both follow
// from `mLockMode`.
struct LockState {
    std::int32_t mLockMode = kLockFree;
    double mFreeLeft = 0;    // the free start edge, twips
    double mFreeLength = 0;  // the free length, pixels
};

struct LockOutcome {
    LockState state;
    // Where the ruler goes; none when it stays where it is.
    std::optional<RulerPlace> place;
    // The switch was made; a refused or unknown mode leaves the state's mode as it was.
    bool switched = false;
    // The switch was refused because the target is minimised: the message
    // kCannotLockMinimised is to be shown.
    bool refusedMinimised = false;
};

// Where a ruler locked to the active window goes for the target's rectangle;
// none while the target is minimised or when its rectangle could not be read
// (all zeros). Locking to a window that is gone is refused without a message.
std::optional<RulerPlace> FollowActiveWindow(Axis axis, const Rect& target,
                                             const ScreenMetrics& screen);

// The lock switch, given the ruler's current place and the target's rectangle.
// The free place is captured first whenever the ruler is free, even when the
// switch is then refused.
// Locked to the screen, the ruler spans the monitor it is on.
LockOutcome SetLockMode(Axis axis, const LockState& state, const RulerPlace& current,
                        std::int32_t newMode, const ScreenMetrics& screen, const Rect& monitor,
                        const Rect& target);

// The follow poll's memory: the ruler moves only when the target's rectangle
// differs from the one seen at the previous tick.
class WindowFollower {
public:
    std::optional<RulerPlace> Tick(Axis axis, std::int32_t lockMode, const Rect& target,
                                   const ScreenMetrics& screen);

private:
    Rect sLastRect;
};

}  // namespace sw
