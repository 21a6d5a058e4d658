#include "placement.h"

#include "library.h"

namespace ui::win32 {

UINT systemDpi()
{
    static const auto forSystem = user32<UINT(WINAPI *)()>("GetDpiForSystem");
    if (forSystem)
        return forSystem();
    const HDC screen = GetDC(nullptr);
    const UINT dpi = UINT(GetDeviceCaps(screen, LOGPIXELSY));
    ReleaseDC(nullptr, screen);
    return dpi;
}

SIZE outerSize(SIZE client, DWORD style, DWORD extendedStyle, UINT dpi)
{
    RECT frame{0, 0, client.cx, client.cy};
    static const auto forDpi =
        user32<BOOL(WINAPI *)(RECT *, DWORD, BOOL, DWORD, UINT)>("AdjustWindowRectExForDpi");
    if (forDpi)
        forDpi(&frame, style, FALSE, extendedStyle, dpi);
    else
        AdjustWindowRectEx(&frame, style, FALSE, extendedStyle);
    return {frame.right - frame.left, frame.bottom - frame.top};
}

POINT centred(SIZE outer, const RECT &area)
{
    return {area.left + (area.right - area.left - outer.cx) / 2,
            area.top + (area.bottom - area.top - outer.cy) / 2};
}

void centreOnMonitorOf(HWND window, HWND owner)
{
    const HMONITOR monitor = MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST);
    MONITORINFO info{};
    info.cbSize = sizeof info;
    if (monitor == MonitorFromWindow(window, MONITOR_DEFAULTTONEAREST) ||
        !GetMonitorInfoW(monitor, &info))
        return;
    RECT frame{};
    GetWindowRect(window, &frame);
    const POINT at = centred({frame.right - frame.left, frame.bottom - frame.top}, info.rcWork);
    SetWindowPos(window, nullptr, at.x, at.y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

} // namespace ui::win32
