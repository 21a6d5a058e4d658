#pragma once

// Whether a colour stands out enough from what lies behind it, by WCAG's contrast ratio.
namespace ui {

struct Rgb {
    int red = 0;
    int green = 0;
    int blue = 0;
    bool operator==(const Rgb &) const = default;
};

// What text and borders need to stand out from what lies behind them: WCAG's 4.5 : 1 and 3 : 1.
inline constexpr double TextContrast = 4.5;
inline constexpr double BorderContrast = 3.0;

// The contrast ratio of two colours, from 1 (none) to 21 (black on white).
double contrast(Rgb a, Rgb b);

// The defined colour where it stands out enough from what lies behind it; otherwise the colour
// the desktop's scheme gives the same part, which a dark scheme makes light.
Rgb readable(Rgb defined, Rgb behind, Rgb scheme, double needed);

} // namespace ui
