// The lock table of a ruler.
#include "locking.h"

#include "targetwatcher.h"

namespace sw {

std::optional<RulerPlace> placeOnTarget(Axis axis, const Rect& target,
                                        const ScreenMetrics& screen) {
    // The system's minimised position; the test is on the edge along the axis.
    const std::int32_t edge = startEdge(axis, target);
    if (edge <= kMinimisedPosition) return std::nullopt;
    // All zeros is the reading of a window that is gone: a ruler of no length would vanish with
    // it, so it stays where it is.
    if (target == Rect{}) return std::nullopt;
    return RulerPlace{edge * twipsPerPixel(axis, screen),
                      static_cast<double>(extent(axis, target))};
}

LockOutcome switchLock(Axis axis, const LockState& state, const RulerPlace& current, RulerLock lock,
                       const ScreenMetrics& screen, const Rect& monitor, const Rect& target) {
    LockOutcome out{state, std::nullopt, false, false};
    if (state.lock == RulerLock::Free) {
        out.state.freeEdge = current.edge;
        out.state.freeLength = current.length;
    }
    switch (lock) {
        case RulerLock::Free:
            out.place = RulerPlace{out.state.freeEdge, out.state.freeLength};
            break;
        case RulerLock::Screen:
            out.place = RulerPlace{startEdge(axis, monitor) * twipsPerPixel(axis, screen),
                                   static_cast<double>(extent(axis, monitor))};
            break;
        case RulerLock::Window:
            out.place = placeOnTarget(axis, target, screen);
            out.refusedMinimised = !out.place && target != Rect{};
            if (!out.place) return out;
            break;
    }
    out.state.lock = lock;
    out.switched = true;
    return out;
}

std::optional<RulerPlace> TargetFollower::follow(Axis axis, RulerLock lock, const Rect& target,
                                                 const ScreenMetrics& screen) {
    if (target == lastFrame_) return std::nullopt;
    lastFrame_ = target;
    if (lock != RulerLock::Window) return std::nullopt;
    return placeOnTarget(axis, target, screen);
}

}  // namespace sw
