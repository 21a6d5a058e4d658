#include "contrast.h"

#include <algorithm>
#include <array>

namespace ui {

namespace {

// The fifth root by Newton's method, for x from 0 to 1.
constexpr double fifthRoot(double x)
{
    double root = 1;
    for (int step = 0; step < 60; ++step)
        root -= (root * root * root * root * root - x) / (5 * root * root * root * root);
    return root;
}

// Each sRGB channel value's share of light, worked out while the program is built: the power
// function would load the maths library's tables, a fifth of a megabyte, for 256 numbers.
constexpr std::array<double, 256> linearChannels()
{
    std::array<double, 256> linear{};
    for (int channel = 0; channel < 256; ++channel) {
        const double value = channel / 255.0;
        const double base = (value + 0.055) / 1.055; // to the power 2.4 = 2 + 2/5
        const double root = fifthRoot(base);
        linear[channel] = value <= 0.03928 ? value / 12.92 : base * base * root * root;
    }
    return linear;
}

constexpr std::array<double, 256> LinearChannels = linearChannels();

double luminance(Rgb colour)
{
    return 0.2126 * LinearChannels[colour.red & 0xFF] +
           0.7152 * LinearChannels[colour.green & 0xFF] +
           0.0722 * LinearChannels[colour.blue & 0xFF];
}

} // namespace

double contrast(Rgb a, Rgb b)
{
    const double first = luminance(a);
    const double second = luminance(b);
    return (std::max(first, second) + 0.05) / (std::min(first, second) + 0.05);
}

Rgb readable(Rgb defined, Rgb behind, Rgb scheme, double needed)
{
    return contrast(defined, behind) >= needed ? defined : scheme;
}

Rgb textColour(Rgb defined, const Scheme &scheme)
{
    return scheme.highContrast ? scheme.text
                               : readable(defined, scheme.face, scheme.text, TextContrast);
}

ButtonColours buttonColours(Rgb face, Rgb border, const Scheme &scheme)
{
    if (scheme.highContrast)
        return {scheme.face, scheme.text};
    const Rgb shownFace = readable(face, scheme.text, scheme.face, TextContrast);
    return {shownFace, readable(border, shownFace, scheme.text, BorderContrast)};
}

} // namespace ui
