// Colours that can be read: the contrast of two colours as WCAG 2 measures it, and the colour
// nearest to a wanted one that reaches a contrast against its background, so that the design's
// colours are kept wherever the desktop's palette allows them.
#pragma once

#include <QColor>

namespace sw {

// What text needs against its background, and what a state a user must tell apart needs.
inline constexpr double kTextContrast = 4.5;
inline constexpr double kStateContrast = 3.0;
// What a colour for small text is chosen to reach, so that its blended edges still reach 4.5.
inline constexpr double kSmallTextContrast = 5.5;

// WCAG 2's relative luminance of an sRGB colour, 0 for black to 1 for white.
double relativeLuminance(const QColor& colour);

// (lighter + 0.05) / (darker + 0.05): 1 for equal colours, 21 for black and white.
double contrastRatio(const QColor& a, const QColor& b);

// The wanted colour when it reaches the contrast against background; otherwise the wanted colour
// mixed with white or with black (whichever reaches it with less mixing) just far enough.
QColor readableOn(const QColor& wanted, const QColor& background, double minimum = kTextContrast);

}  // namespace sw
