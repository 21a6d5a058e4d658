#pragma once

#include "definition.h"

#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

// What every runtime needs of a window's controls.
namespace ui {

// A control by its name; a name that is not there is a programming error.
template <typename Control, typename Map> Control &lookup(Map &controls, std::string_view name)
{
    const auto found = controls.find(name);
    if (found == controls.end())
        throw std::logic_error("the window has no such control: " + std::string(name));
    return *found->second;
}

// A control of a window by its name; a name that is not there is a programming error.
const ControlDefinition &control(const WindowDefinition &window, std::string_view name);

// Where a focused spinner shows its focus, in twips in its container: around itself and the
// field it stands beside, two pixels out at 96 dpi.
Rect focusArea(const WindowDefinition &window, std::string_view spinner);

// The controls that take the focus, in the order Tab visits them; the window opens with the
// focus on the first.
std::vector<std::string> tabOrder(const WindowDefinition &window);

} // namespace ui
