#include "controls.h"

#include <algorithm>

namespace ui {

const ControlDefinition &control(const WindowDefinition &window, std::string_view name)
{
    for (const ControlDefinition &control : window.controls)
        if (control.name == name)
            return control;
    throw std::logic_error("the window has no such control: " + std::string(name));
}

Rect focusArea(const WindowDefinition &window, std::string_view spinner)
{
    const ControlDefinition &bar = control(window, spinner);
    int left = bar.twips.left, top = bar.twips.top;
    int right = left + bar.twips.width, bottom = top + bar.twips.height;
    for (const ControlDefinition &field : window.controls) {
        const Rect &at = field.twips;
        // Its own field is the one named by the same unit; a neighbour may overlap it too.
        if (field.kind == Kind::Label && field.visible && field.container == bar.container &&
            !bar.accessibleName.empty() && field.accessibleName == bar.accessibleName) {
            left = std::min(left, at.left);
            top = std::min(top, at.top);
            right = std::max(right, at.left + at.width);
            bottom = std::max(bottom, at.top + at.height);
        }
    }
    const int out = 2 * TwipsPerPixel;
    return {left - out, top - out, right - left + 2 * out, bottom - top + 2 * out};
}

std::vector<std::string> tabOrder(const WindowDefinition &window)
{
    std::vector<const ControlDefinition *> stops;
    for (const ControlDefinition &control : window.controls)
        if (control.kind == Kind::Button || control.kind == Kind::ScrollBar)
            stops.push_back(&control);
    std::stable_sort(stops.begin(), stops.end(),
                     [](const auto *a, const auto *b) { return a->tabIndex < b->tabIndex; });
    std::vector<std::string> names;
    for (const ControlDefinition *stop : stops)
        names.push_back(stop->name);
    return names;
}

} // namespace ui
