#pragma once

#include "definition.h"

#include <string>

// What a screen reader is told of each window and control, for every runtime alike. The names,
// the toggle and the alert are data of the definitions; a spinner's range is its field's
// (SpinnerRange), and its value is the number the field shows.
namespace ui {

enum class Role { Window, Alert, Grouping, Text, SpinButton, PushButton, ToggleButton, None };

Role roleOf(const WindowDefinition &window);
Role roleOf(const ControlDefinition &control);
// What a screen reader calls it: its name in the definitions, or its caption.
std::string accessibleName(const ControlDefinition &control);

} // namespace ui
