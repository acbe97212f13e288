// The monitor a point or a window belongs to, and bringing windows onto one.
#include "monitorgeometry.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace sw {
namespace {

// The squared distance from the point to the nearest pixel of the rectangle.
std::int64_t distanceSquared(const Rect& r, Point p) {
    const std::int64_t dx = p.x < r.left     ? std::int64_t{r.left} - p.x
                            : p.x >= r.right ? std::int64_t{p.x} - r.right + 1
                                             : 0;
    const std::int64_t dy = p.y < r.top       ? std::int64_t{r.top} - p.y
                            : p.y >= r.bottom ? std::int64_t{p.y} - r.bottom + 1
                                              : 0;
    return dx * dx + dy * dy;
}

std::int64_t overlap(const Rect& a, const Rect& b) {
    const std::int64_t w = std::int64_t{std::min(a.right, b.right)} - std::max(a.left, b.left);
    const std::int64_t h = std::int64_t{std::min(a.bottom, b.bottom)} - std::max(a.top, b.top);
    return w > 0 && h > 0 ? w * h : 0;
}

// Keeps [start, start + length) inside [low, high) where it fits, else at low.
std::int32_t within(std::int32_t start, std::int32_t length, std::int32_t low, std::int32_t high) {
    const std::int64_t last = std::int64_t{high} - std::max(length, 0);
    return static_cast<std::int32_t>(
        std::max<std::int64_t>(low, std::min<std::int64_t>(start, last)));
}

// The title strip's point, which a stored place near the end of the range cannot push past it.
Point stripOf(Point topLeft) {
    const auto add = [](std::int32_t v, std::int32_t d) {
        return static_cast<std::int32_t>(std::min<std::int64_t>(std::int64_t{v} + d, INT32_MAX));
    };
    return Point{add(topLeft.x, kTitleStripX), add(topLeft.y, kTitleStripY)};
}

}  // namespace

Rect monitorAt(const std::vector<Rect>& monitors, Point point) {
    if (monitors.empty()) return Rect{};
    // Holding the point means at distance 0; the first listed wins a tie.
    return *std::min_element(monitors.begin(), monitors.end(), [&](const Rect& a, const Rect& b) {
        return distanceSquared(a, point) < distanceSquared(b, point);
    });
}

Rect monitorHoldingMost(const std::vector<Rect>& monitors, const Rect& rect) {
    const auto most = std::max_element(
        monitors.begin(), monitors.end(),
        [&](const Rect& a, const Rect& b) { return overlap(a, rect) < overlap(b, rect); });
    if (most != monitors.end() && overlap(*most, rect) > 0) return *most;
    const Point centre{static_cast<std::int32_t>((std::int64_t{rect.left} + rect.right) / 2),
                       static_cast<std::int32_t>((std::int64_t{rect.top} + rect.bottom) / 2)};
    return monitorAt(monitors, centre);
}

namespace {

// The screen in its own scaled co-ordinates: the same corner, the size divided.
Rect scaledRect(const ScaledScreen& s) {
    const auto size = [&](std::int64_t pixels) {
        return static_cast<std::int64_t>(std::llround(pixels / s.ratio));
    };
    return Rect{s.pixels.left, s.pixels.top,
                static_cast<std::int32_t>(s.pixels.left + size(s.pixels.width())),
                static_cast<std::int32_t>(s.pixels.top + size(s.pixels.height()))};
}

// The screen whose rectangle (in pixels or scaled) holds the point, or the nearest.
const ScaledScreen* screenFor(const std::vector<ScaledScreen>& screens, Point p, bool scaled) {
    std::vector<Rect> rects;
    for (const ScaledScreen& s : screens) rects.push_back(scaled ? scaledRect(s) : s.pixels);
    const Rect hit = monitorAt(rects, p);
    const auto at = std::find(rects.begin(), rects.end(), hit);
    return at == rects.end() ? nullptr : &screens[static_cast<std::size_t>(at - rects.begin())];
}

std::int32_t rescale(std::int32_t value, std::int32_t origin, double factor) {
    return static_cast<std::int32_t>(origin +
                                     std::llround((std::int64_t{value} - origin) * factor));
}

}  // namespace

double ratioAt(const std::vector<ScaledScreen>& screens, Point pixel) {
    const ScaledScreen* s = screenFor(screens, pixel, false);
    return s == nullptr || s->ratio <= 0 ? 1.0 : s->ratio;
}

Point pixelToScaled(const std::vector<ScaledScreen>& screens, Point pixel) {
    const ScaledScreen* s = screenFor(screens, pixel, false);
    if (s == nullptr || s->ratio <= 0) return pixel;
    return Point{rescale(pixel.x, s->pixels.left, 1 / s->ratio),
                 rescale(pixel.y, s->pixels.top, 1 / s->ratio)};
}

Point scaledToPixel(const std::vector<ScaledScreen>& screens, Point scaled) {
    return scaledToPixel(screens, scaled.x, scaled.y);
}

Point scaledToPixel(const std::vector<ScaledScreen>& screens, double x, double y) {
    const Point at{static_cast<std::int32_t>(std::floor(x)),
                   static_cast<std::int32_t>(std::floor(y))};
    const ScaledScreen* s = screenFor(screens, at, true);
    const double ratio = s == nullptr || s->ratio <= 0 ? 1.0 : s->ratio;
    const Point origin = s == nullptr ? Point{} : Point{s->pixels.left, s->pixels.top};
    return Point{static_cast<std::int32_t>(origin.x + std::llround((x - origin.x) * ratio)),
                 static_cast<std::int32_t>(origin.y + std::llround((y - origin.y) * ratio))};
}

Point ontoMonitor(const std::vector<Rect>& monitors, Point topLeft, std::int32_t width,
                  std::int32_t height) {
    if (monitors.empty()) return topLeft;
    const Rect window{topLeft.x, topLeft.y,
                      static_cast<std::int32_t>(std::min<std::int64_t>(
                          std::int64_t{topLeft.x} + std::max(width, 0), INT32_MAX)),
                      static_cast<std::int32_t>(std::min<std::int64_t>(
                          std::int64_t{topLeft.y} + std::max(height, 0), INT32_MAX))};
    const auto holdsWindow = [&](const Rect& m) {
        return window.left >= m.left && window.top >= m.top && window.right <= m.right &&
               window.bottom <= m.bottom;
    };
    if (std::any_of(monitors.begin(), monitors.end(), holdsWindow)) return topLeft;
    if (topLeft == Point{}) return Point{monitors.front().left, monitors.front().top};
    const Rect m = monitorAt(monitors, stripOf(topLeft));
    return Point{within(topLeft.x, width, m.left, m.right),
                 within(topLeft.y, height, m.top, m.bottom)};
}

}  // namespace sw
