#include "labelcontrol.h"

#include "colours.h"
#include "win32window.h"

#include <commctrl.h>

namespace ui::win32 {

namespace {

HWND made(const ControlDefinition &definition, RECT place, HWND parent, HINSTANCE instance)
{
    const DWORD alignment = definition.alignment == Alignment::Centre  ? SS_CENTER
                            : definition.alignment == Alignment::Right ? SS_RIGHT
                                                                       : SS_LEFT;
    // SS_NOTIFY: a label must see the mouse for its tooltip. SS_CENTERIMAGE centres its one line
    // of text in its height: drawn from the top, a tall face's digits would lose their bottom
    // rows in a field just their size.
    return CreateWindowExW(0, L"STATIC", wide(definition.caption).c_str(),
                           shownStyle(definition) | alignment | SS_NOTIFY | SS_NOPREFIX |
                               SS_ENDELLIPSIS | SS_CENTERIMAGE,
                           place.left, place.top, place.right - place.left,
                           place.bottom - place.top, parent, nullptr, instance, nullptr);
}

} // namespace

LabelControl::LabelControl(const ControlDefinition &definition, RECT place,
                           std::optional<COLORREF> colour, Win32Window &window)
    : Control(made(definition, place, window.handle(), window.instance())),
      m_caption(definition.caption), m_name(wide(definition.accessibleName)), m_colour(colour),
      m_window(window)
{
    SetWindowSubclass(control(), procedure, 0, reinterpret_cast<DWORD_PTR>(this));
}

void LabelControl::setCaption(const std::string &caption)
{
    // The countdown sets all three fields every second; most of them keep their text.
    if (caption == m_caption)
        return;
    m_caption = caption;
    SetWindowTextW(control(), wide(caption).c_str());
}

void LabelControl::setDetail(const std::string &detail)
{
    m_window.addTip(control(), wide(detail));
}

void LabelControl::announce(const std::string &words)
{
    m_name = wide(words);
    announceChange(control());
}

COLORREF LabelControl::colour(const Scheme &scheme) const
{
    return colorref(m_colour ? textColour(rgb(*m_colour), scheme) : scheme.text);
}

Presentation LabelControl::presentation() const
{
    const std::wstring text = wide(m_caption);
    const bool number =
        !text.empty() && text.find_first_not_of(L"0123456789") == std::wstring::npos;
    return {Role::Text, m_name.empty() ? text : m_name, number ? text : std::wstring()};
}

LRESULT CALLBACK LabelControl::procedure(HWND label, UINT message, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR, DWORD_PTR self)
{
    if (message == WM_GETOBJECT) {
        auto *control = reinterpret_cast<LabelControl *>(self);
        return control->m_window.answer(label, wParam, lParam,
                                        [control] { return control->presentation(); });
    }
    return DefSubclassProc(label, message, wParam, lParam);
}

} // namespace ui::win32
