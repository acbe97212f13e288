// Reads the KWin script's JSON reports into the seam's value types.
#include "kwinreports.h"

#include <QJsonArray>

#include <algorithm>

#include "text.h"

namespace sw::kwin {
namespace {

// The seam's titles are cut at this many characters, as on every other desktop.
constexpr std::size_t kTitleCharacters = 254;

std::int32_t coordinate(const QJsonObject& object, const char* key) {
    const double value = object.value(QLatin1String(key)).toDouble();
    return static_cast<std::int32_t>(std::clamp(value, double{INT32_MIN}, double{INT32_MAX}));
}

Rect rectFromReport(const QJsonObject& r) {
    const std::int64_t left = coordinate(r, "x"), top = coordinate(r, "y");
    const std::int64_t right = std::min<std::int64_t>(left + coordinate(r, "w"), INT32_MAX);
    const std::int64_t bottom = std::min<std::int64_t>(top + coordinate(r, "h"), INT32_MAX);
    return Rect{static_cast<std::int32_t>(left), static_cast<std::int32_t>(top),
                static_cast<std::int32_t>(right), static_cast<std::int32_t>(bottom)};
}

WindowState stateFromReport(const QJsonObject& window) {
    if (window.value(QLatin1String("minimized")).toBool()) return WindowState::Minimised;
    // Maximised one way only is a size the user can still see the edges of: Normal.
    if (window.value(QLatin1String("maximized")).toString() == QLatin1String("full"))
        return WindowState::Maximised;
    return WindowState::Normal;
}

}  // namespace

WindowInfo windowFromReport(const QJsonObject& window) {
    const std::string caption = window.value(QLatin1String("caption")).toString().toStdString();
    return WindowInfo{cutToCharacters(caption, kTitleCharacters), stateFromReport(window),
                      rectFromReport(window)};
}

ScreenMetrics screensFromReport(const QJsonObject& screens) {
    ScreenMetrics metrics;
    metrics.bounds = rectFromReport(screens.value(QLatin1String("bounds")).toObject());
    for (const QJsonValue& screen : screens.value(QLatin1String("screens")).toArray())
        metrics.monitors.push_back(rectFromReport(screen.toObject()));
    // Logical pixels: the desktop's scale is KWin's business, so the resolution is the nominal one.
    metrics.dpiX = metrics.dpiY = 96.0;
    if (metrics.monitors.empty()) metrics.monitors.push_back(metrics.bounds);
    return metrics;
}

Point pointFromReport(const QJsonObject& position) {
    return Point{coordinate(position, "x"), coordinate(position, "y")};
}

}  // namespace sw::kwin
