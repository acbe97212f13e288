// The pointer's co-ordinates on the rulers and SHIFT+left-click measuring,
// driven by snapshots of the pointer and the buttons taken when either changes:
// a SHIFT+left press starts a measurement (or any left press once armed, where
// SHIFT+clicks cannot be seen), the next left press ends it, the right button
// cancels it.
#pragma once

#include <cstdint>
#include <string>

#include "desktop.h"
#include "scale.h"

namespace sw {

// The rulers' origin for relative co-ordinates, in screen pixels: the left edge
// of the horizontal ruler and the top edge of the vertical one.
struct RulerOrigin {
    double x = 0;
    double y = 0;
};

// The pointer in the scale mode; relative co-ordinates are rounded halves to even, as the origin
// may lie between pixels.
Point pointerCoordinates(Point pointer, ScaleMode mode, const RulerOrigin& origin);

// "250,220", "-20,35".
std::string positionCaption(Point pos);

// The measure lines of both rulers, shown and hidden together: x is the
// horizontal ruler's line (X1, X2), y the vertical ruler's (Y1, Y2), in the
// rulers' co-ordinates.
struct MeasureLines {
    bool visible = false;
    Point start;
    Point end;
};

// What one tick shows: the co-ordinates (also where each ruler's highlight line
// goes), the measure lines and the measure read-out.
struct PointerReadout {
    Point pos;
    std::string mousePosition;
    MeasureLines lines;
    std::string measure;
    bool measureShown = false;
    // The size the read-out shows, in pixels.
    std::int64_t measureWidth = 0;
    std::int64_t measureHeight = 0;
};

// The read-out of a measured size: "300 X 200", and where the monitor under the
// measurement has a device pixel ratio other than 1, also its size there in
// device-independent pixels: "300 X 200 (150 X 100 @2x)".
std::string measureCaption(std::int64_t width, std::int64_t height, double ratio);

class PointerTracker {
public:
    // `snap` counts a button as pressed when it is down now or went down since
    // the previous reading.
    PointerReadout track(const PointerSnapshot& snap, ScaleMode mode, const RulerOrigin& origin);
    // Between the click that starts a measurement and the one that ends it.
    bool measuring() const { return measuring_; }
    // The next left press starts a measurement, SHIFT held or not; the right button disarms.
    void arm() {
        armed_ = true;
        leftWasDown_ = false;  // armed from a menu, whose entry takes effect on the release
    }
    bool armed() const { return armed_; }

private:
    bool detectMeasureClick(const PointerSnapshot& snap);
    void measure(Point pos, bool click);

    bool leftWasDown_ = false;
    bool measuring_ = false;
    bool armed_ = false;
    MeasureLines lines_;
    // The size the read-out shows.
    std::int64_t width_ = 0;
    std::int64_t height_ = 0;
};

}  // namespace sw
