#include "contrast.h"

#include <algorithm>
#include <cmath>

namespace ui::qt {

namespace {

double luminance(const QColor &colour)
{
    const auto linear = [](int channel) {
        const double value = channel / 255.0;
        return value <= 0.03928 ? value / 12.92 : std::pow((value + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(colour.red()) + 0.7152 * linear(colour.green()) +
           0.0722 * linear(colour.blue());
}

} // namespace

double contrast(const QColor &a, const QColor &b)
{
    const double first = luminance(a);
    const double second = luminance(b);
    return (std::max(first, second) + 0.05) / (std::min(first, second) + 0.05);
}

QColor readable(const QColor &wanted, const QColor &behind, const QColor &fallback, double minimum)
{
    return contrast(wanted, behind) >= minimum ? wanted : fallback;
}

} // namespace ui::qt
