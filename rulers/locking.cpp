// The lock table of a ruler.
#include "locking.h"

namespace sw {

std::optional<RulerPlace> FollowActiveWindow(Axis axis, const Rect& target,
                                             const ScreenMetrics& screen) {
    // The system's minimised position; the test is on the edge along the axis.
    const std::int32_t edge = StartEdge(axis, target);
    if (edge <= kMinimisedPosition) return std::nullopt;
    // All zeros is the reading of a window that is gone: a ruler of no length
    // would vanish with it, so it stays where it is.
    if (target == Rect{}) return std::nullopt;
    return RulerPlace{edge * TwipsPerPixel(axis, screen),
                      static_cast<double>(Extent(axis, target))};
}

LockOutcome SetLockMode(Axis axis, const LockState& state, const RulerPlace& current,
                        std::int32_t newMode, const ScreenMetrics& screen, const Rect& monitor,
                        const Rect& target) {
    LockOutcome out{state, std::nullopt, false, false};
    if (state.mLockMode == kLockFree) {
        out.state.mFreeLeft = current.edge;
        out.state.mFreeLength = current.length;
    }
    switch (newMode) {
        case kLockFree:
            out.place = RulerPlace{out.state.mFreeLeft, out.state.mFreeLength};
            break;
        case kLockScreen:
            out.place = RulerPlace{StartEdge(axis, monitor) * TwipsPerPixel(axis, screen),
                                   static_cast<double>(Extent(axis, monitor))};
            break;
        case kLockWindow:
            out.place = FollowActiveWindow(axis, target, screen);
            out.refusedMinimised = !out.place && target != Rect{};
            if (!out.place) return out;
            break;
        default:
            return out;
    }
    out.state.mLockMode = newMode;
    out.switched = true;
    return out;
}

std::optional<RulerPlace> WindowFollower::Tick(Axis axis, std::int32_t lockMode, const Rect& target,
                                               const ScreenMetrics& screen) {
    if (target == sLastRect) return std::nullopt;
    sLastRect = target;
    if (lockMode != kLockWindow) return std::nullopt;
    return FollowActiveWindow(axis, target, screen);
}

}  // namespace sw
