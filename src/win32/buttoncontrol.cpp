#include "buttoncontrol.h"

#include "button.h"
#include "win32window.h"

namespace ui::win32 {

ButtonControl::ButtonControl(const ControlDefinition &definition, RECT place, int id,
                             Win32Window &window)
    : Control(ui::win32::Button::create(window.handle(), id, place,
                                        ButtonProperties::fromSaved(definition.properties),
                                        definition.toggle, window.host(), window.dpi())),
      m_window(window)
{
}

bool ButtonControl::state() const
{
    return ui::win32::Button::of(control())->state();
}

void ButtonControl::setState(bool state)
{
    ui::win32::Button::of(control())->setState(state);
}

std::string ButtonControl::caption() const
{
    return narrow(ui::win32::Button::of(control())->caption());
}

void ButtonControl::setCaption(const std::string &caption)
{
    ui::win32::Button::of(control())->setCaption(wide(caption));
}

void ButtonControl::notified(UINT message, WPARAM wParam)
{
    if (message == WM_COMMAND && HIWORD(wParam) == BN_CLICKED && m_clicked)
        m_window.host().run(m_clicked);
}

} // namespace ui::win32
