// The time the program's spacing and waiting rules count with: the steady clock, or one a test
// sets, so that the rules are checked without waiting for them.
#pragma once

#include <chrono>
#include <functional>

namespace sw {

using TimePoint = std::chrono::steady_clock::time_point;
using Clock = std::function<TimePoint()>;

inline Clock steadyClock() {
    return [] { return std::chrono::steady_clock::now(); };
}

}  // namespace sw
