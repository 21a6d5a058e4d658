#include "spinnerrange.h"

#include <algorithm>

namespace ui {

SpinnerRange SpinnerRange::of(const ControlDefinition &spinner)
{
    const int sign = spinner.rangeStart > spinner.rangeEnd ? -1 : 1;
    return {sign, std::min(sign * spinner.rangeStart, sign * spinner.rangeEnd),
            std::max(sign * spinner.rangeStart, sign * spinner.rangeEnd)};
}

int SpinnerRange::lowest() const
{
    return std::min(position(minimum), position(maximum)) + 1;
}

int SpinnerRange::highest() const
{
    return std::max(position(minimum), position(maximum)) - 1;
}

int SpinnerRange::wrapped(int position) const
{
    return position > highest() ? lowest() : position < lowest() ? highest() : position;
}

} // namespace ui
