#include "spinnercontrol.h"

#include "win32window.h"

#include <commctrl.h>

#include <algorithm>

namespace ui::win32 {

SpinnerControl::SpinnerControl(const ControlDefinition &definition, RECT place, Win32Window &window)
    : Control(CreateWindowExW(0, L"SCROLLBAR", nullptr,
                              shownStyle(definition) | WS_TABSTOP | SBS_VERT, place.left, place.top,
                              place.right - place.left, place.bottom - place.top, window.handle(),
                              nullptr, window.instance(), nullptr)),
      m_definition(definition), m_range(SpinnerRange::of(definition)), m_window(window)
{
    SCROLLINFO range{sizeof range, SIF_RANGE | SIF_POS | SIF_PAGE | SIF_DISABLENOSCROLL};
    range.nMin = m_range.minimum;
    range.nMax = m_range.maximum;
    range.nPos = m_range.held(definition.position);
    SetScrollInfo(control(), SB_CTL, &range, FALSE);
    SetWindowSubclass(control(), procedure, 0, reinterpret_cast<DWORD_PTR>(this));
}

int SpinnerControl::position() const
{
    return m_range.position(GetScrollPos(control(), SB_CTL));
}

void SpinnerControl::notified(UINT message, WPARAM wParam)
{
    if (message != WM_VSCROLL)
        return;
    SCROLLINFO now{sizeof now, SIF_ALL};
    GetScrollInfo(control(), SB_CTL, &now);
    switch (LOWORD(wParam)) {
    case SB_LINEUP:
        return place(now.nPos - m_definition.smallStep);
    case SB_LINEDOWN:
        return place(now.nPos + m_definition.smallStep);
    case SB_PAGEUP:
        return place(now.nPos - m_definition.largeStep);
    case SB_PAGEDOWN:
        return place(now.nPos + m_definition.largeStep);
    case SB_TOP:
        return place(now.nMin);
    case SB_BOTTOM:
        return place(now.nMax);
    case SB_THUMBPOSITION: // not while the thumb is dragged, only where it is let go
        return place(now.nTrackPos);
    }
}

void SpinnerControl::place(int value)
{
    SCROLLINFO range{sizeof range, SIF_RANGE};
    GetScrollInfo(control(), SB_CTL, &range);
    value = std::clamp(value, range.nMin, range.nMax);
    if (value == GetScrollPos(control(), SB_CTL))
        return;
    SetScrollPos(control(), SB_CTL, value, TRUE);
    if (m_changed)
        m_window.host().run(m_changed);
}

LRESULT CALLBACK SpinnerControl::procedure(HWND bar, UINT message, WPARAM wParam, LPARAM lParam,
                                           UINT_PTR, DWORD_PTR self)
{
    auto *spinner = reinterpret_cast<SpinnerControl *>(self);
    if (message == WM_GETOBJECT)
        return spinner->m_window.answer(bar, wParam, lParam, [spinner] {
            return Presentation{Role::SpinButton, wide(accessibleName(spinner->m_definition)),
                                std::to_wstring(spinner->position())};
        });
    const LRESULT result = DefSubclassProc(bar, message, wParam, lParam);
    // The frame's focus comes and goes with the spinner's.
    if (message == WM_SETFOCUS || message == WM_KILLFOCUS)
        RedrawWindow(GetParent(bar), nullptr, nullptr,
                     RDW_ERASE | RDW_INVALIDATE | RDW_ALLCHILDREN);
    return result;
}

} // namespace ui::win32
