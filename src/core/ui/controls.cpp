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
