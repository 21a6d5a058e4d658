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

// What the desktop's colour scheme gives the parts it has a colour for.
struct Scheme {
    Rgb face;                  // of buttons, and of the windows behind their labels
    Rgb text;                  // on that face
    bool highContrast = false; // then the scheme's colours, whatever the defined ones
};

// A label's text in its defined colour where it stands out from the face behind it.
Rgb textColour(Rgb defined, const Scheme &scheme);

// A button's face, readable under its caption in the scheme's text colour, and its border,
// standing out from that face.
struct ButtonColours {
    Rgb face;
    Rgb border;
};
ButtonColours buttonColours(Rgb face, Rgb border, const Scheme &scheme);

} // namespace ui
