// Contrast of colours.
#include "contrast.h"

#include <algorithm>
#include <cmath>
#include <optional>

namespace sw {
namespace {

double linear(double channel) {
    return channel <= 0.04045 ? channel / 12.92 : std::pow((channel + 0.055) / 1.055, 2.4);
}

QColor mixed(const QColor& from, const QColor& to, double share) {
    const auto mix = [share](int a, int b) {
        return static_cast<int>(std::lround(a + (b - a) * share));
    };
    return QColor(mix(from.red(), to.red()), mix(from.green(), to.green()),
                  mix(from.blue(), to.blue()));
}

// The least share of `toward` mixed into wanted that reaches the contrast, or none.
std::optional<double> leastMix(const QColor& wanted, const QColor& toward, const QColor& background,
                               double minimum) {
    if (contrastRatio(toward, background) < minimum) return std::nullopt;
    double low = 0, high = 1;
    for (int i = 0; i < 20; ++i) {
        const double mid = (low + high) / 2;
        (contrastRatio(mixed(wanted, toward, mid), background) >= minimum ? high : low) = mid;
    }
    return high;
}

}  // namespace

double relativeLuminance(const QColor& c) {
    return 0.2126 * linear(c.redF()) + 0.7152 * linear(c.greenF()) + 0.0722 * linear(c.blueF());
}

double contrastRatio(const QColor& a, const QColor& b) {
    const double la = relativeLuminance(a), lb = relativeLuminance(b);
    return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

QColor readableOn(const QColor& wanted, const QColor& background, double minimum) {
    if (contrastRatio(wanted, background) >= minimum) return wanted;
    const auto white = leastMix(wanted, Qt::white, background, minimum);
    const auto black = leastMix(wanted, Qt::black, background, minimum);
    if (white && (!black || *white <= *black)) return mixed(wanted, Qt::white, *white);
    if (black) return mixed(wanted, Qt::black, *black);
    return relativeLuminance(background) > 0.18 ? QColor(Qt::black) : QColor(Qt::white);
}

}  // namespace sw
