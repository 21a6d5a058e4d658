#pragma once

#include <QColor>

namespace ui::qt {

// What text and borders need to stand out from what lies behind them: WCAG's 4.5 : 1 and 3 : 1.
inline constexpr double TextContrast = 4.5;
inline constexpr double BorderContrast = 3.0;

// The contrast ratio of two colours, from 1 (none) to 21 (black on white).
double contrast(const QColor &a, const QColor &b);

// The colour wanted where it stands out enough from what lies behind it; otherwise the colour
// the desktop's scheme uses in its place, which a dark scheme makes light.
QColor readable(const QColor &wanted, const QColor &behind, const QColor &fallback, double minimum);

} // namespace ui::qt
