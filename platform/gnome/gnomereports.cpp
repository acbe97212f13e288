// Reads the GNOME Shell extension's D-Bus values into the seam's value types.
#include "gnomereports.h"

#include <QDBusArgument>

#include <algorithm>

#include "text.h"

namespace sw::gnome {
namespace {

// The seam's titles are cut at this many characters, as on every other desktop.
constexpr std::size_t kTitleCharacters = 254;

// Clutter's modifier bits, as the interface names them.
constexpr std::uint32_t kShiftMask = 1;
constexpr std::uint32_t kButton1Mask = 256;
// Mutter 43's native seat sets the masks in evdev's order of buttons (left, right, middle): the
// right button was measured to read as BUTTON2 (512), not BUTTON3.
constexpr std::uint32_t kRightButtonMask = 512;

Rect rectOf(std::int64_t x, std::int64_t y, std::int64_t width, std::int64_t height) {
    const auto clamp = [](std::int64_t v) {
        return static_cast<std::int32_t>(std::clamp<std::int64_t>(v, INT32_MIN, INT32_MAX));
    };
    return Rect{clamp(x), clamp(y), clamp(x + width), clamp(y + height)};
}

WindowState stateOf(const QVariantMap& window) {
    if (window.value(QStringLiteral("minimized")).toBool()) return WindowState::Minimised;
    // Maximised one way only is a size the user can still see the edges of: Normal.
    if (window.value(QStringLiteral("maximized")).toString() == QLatin1String("full"))
        return WindowState::Maximised;
    return WindowState::Normal;
}

}  // namespace

QVariantMap windowMap(const QVariant& value) {
    if (value.canConvert<QDBusArgument>()) return qdbus_cast<QVariantMap>(value);
    return value.toMap();
}

WindowInfo windowFromMap(const QVariantMap& window) {
    if (window.isEmpty()) return WindowInfo{};
    const auto number = [&window](const char* key) {
        return window.value(QLatin1String(key)).toLongLong();
    };
    const std::string title = window.value(QStringLiteral("title")).toString().toStdString();
    return WindowInfo{cutToCharacters(title, kTitleCharacters), stateOf(window),
                      rectOf(number("x"), number("y"), number("width"), number("height"))};
}

ScreenMetrics screenFromMonitors(const QVariant& monitors) {
    ScreenMetrics metrics;
    if (monitors.canConvert<QDBusArgument>()) {
        const QDBusArgument arg = monitors.value<QDBusArgument>();
        arg.beginArray();
        while (!arg.atEnd()) {
            int x = 0, y = 0, width = 0, height = 0;
            double scale = 1.0;
            bool primary = false;
            arg.beginStructure();
            arg >> x >> y >> width >> height >> scale >> primary;
            arg.endStructure();
            metrics.monitors.push_back(rectOf(x, y, width, height));
        }
        arg.endArray();
    }
    if (metrics.monitors.empty()) metrics.monitors.push_back(Rect{});
    metrics.bounds = metrics.monitors.front();
    for (const Rect& m : metrics.monitors) {
        metrics.bounds = Rect{
            std::min(metrics.bounds.left, m.left), std::min(metrics.bounds.top, m.top),
            std::max(metrics.bounds.right, m.right), std::max(metrics.bounds.bottom, m.bottom)};
    }
    // Logical pixels: the monitors' scale is Mutter's business, so the resolution is the nominal
    // one.
    metrics.dpiX = metrics.dpiY = 96.0;
    return metrics;
}

KeyStates keysFromMask(std::uint32_t mask) {
    return KeyStates{(mask & kButton1Mask) != 0, (mask & kRightButtonMask) != 0,
                     (mask & kShiftMask) != 0};
}

}  // namespace sw::gnome
