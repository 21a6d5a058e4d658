#include "control.h"

namespace ui::win32 {

namespace {

const wchar_t Property[] = L"Veltrane.Control";

} // namespace

Control::Control(HWND control) : m_control(control)
{
    SetPropW(control, Property, this);
}

Control::~Control()
{
    RemovePropW(m_control, Property);
}

Control *Control::of(HWND control)
{
    return control ? static_cast<Control *>(GetPropW(control, Property)) : nullptr;
}

} // namespace ui::win32
