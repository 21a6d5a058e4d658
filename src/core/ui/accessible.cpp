#include "accessible.h"

namespace ui {

Role roleOf(const WindowDefinition &window)
{
    return window.alert ? Role::Alert : Role::Window;
}

Role roleOf(const ControlDefinition &control)
{
    switch (control.kind) {
    case Kind::Frame:
        return Role::Grouping;
    case Kind::Label:
        return Role::Text;
    case Kind::ScrollBar:
        return Role::SpinButton;
    case Kind::Button:
        return control.toggle ? Role::ToggleButton : Role::PushButton;
    case Kind::Timer:
        break;
    }
    return Role::None;
}

std::string accessibleName(const ControlDefinition &control)
{
    return control.accessibleName.empty() ? control.caption : control.accessibleName;
}

} // namespace ui
