// A ruler's scale as plain marks: where the long and half ticks and the numbers
// go on a strip of a given length, and where the strip sits for the scale mode.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "axis.h"

namespace sw {

// What the rulers' numbers count from: the rulers' own start, or the screen's origin. Stored
// as 0 for relative and any other number for absolute.
enum class ScaleMode { Relative, Absolute };
inline ScaleMode scaleModeFromStored(std::int32_t stored) {
    return stored == 0 ? ScaleMode::Relative : ScaleMode::Absolute;
}
inline std::int32_t storedScaleMode(ScaleMode mode) {
    return mode == ScaleMode::Relative ? 0 : 1;
}

inline constexpr std::int32_t kTickSpacing = 10;
inline constexpr std::int32_t kHalfTickOffset = kTickSpacing / 2;

// A number beside the long tick at `tick`: its start (left edge on the
// horizontal strip, top edge on the vertical one) and its extent along the
// strip, both in strip pixels.
struct ScaleNumber {
    std::int32_t tick = 0;
    double start = 0;
    double extent = 0;
    std::string caption;
};

struct ScaleMarks {
    std::vector<std::int32_t> ticks;      // 0, 10, 20 ... : tick i lies at 10 x i
    std::vector<std::int32_t> halfTicks;  // 5, 15, 25 ...
    std::vector<ScaleNumber> numbers;     // in order along the strip
};

// The marks of a strip `stripLength` pixels long. `templateExtent` is the
// measured extent of "8888" in the scale font along the strip: its width for
// the horizontal ruler, its height for the vertical one. The scale font's
// digits are all of one width, so a shorter number on the horizontal strip is
// that width's share per digit; on the vertical strip every number is one
// line high.
ScaleMarks layOutScale(Axis axis, double stripLength, double templateExtent);

// Where the strip starts in the ruler's area, in pixels, for the scale mode and the ruler's
// start edge on the screen in twips: relative numbers count from the ruler's own start, absolute
// ones are screen co-ordinates.
double scaleOffset(ScaleMode mode, double edgeTwips, double twipsPerPixel);

}  // namespace sw
