#include "framecontrol.h"

#include "win32window.h"

#include <commctrl.h>

namespace ui::win32 {

FrameControl::FrameControl(const ControlDefinition &definition, RECT place, Win32Window &window)
    : Control(CreateWindowExW(0, L"BUTTON", wide(definition.caption).c_str(),
                              shownStyle(definition) | BS_GROUPBOX, place.left, place.top,
                              place.right - place.left, place.bottom - place.top, window.handle(),
                              nullptr, window.instance(), nullptr)),
      m_window(window)
{
    SetWindowSubclass(control(), procedure, 0, reinterpret_cast<DWORD_PTR>(this));
}

LRESULT CALLBACK FrameControl::procedure(HWND frame, UINT message, WPARAM wParam, LPARAM lParam,
                                         UINT_PTR, DWORD_PTR self)
{
    const LRESULT result = DefSubclassProc(frame, message, wParam, lParam);
    if (message == WM_PAINT || message == WM_PRINTCLIENT) {
        const RECT area = reinterpret_cast<FrameControl *>(self)->m_window.focusArea();
        if (!IsRectEmpty(&area)) {
            const HDC dc = message == WM_PAINT ? GetDC(frame) : reinterpret_cast<HDC>(wParam);
            DrawFocusRect(dc, &area);
            if (message == WM_PAINT)
                ReleaseDC(frame, dc);
        }
    }
    return result;
}

} // namespace ui::win32
