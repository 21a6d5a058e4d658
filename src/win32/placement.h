#pragma once

#include <windows.h>

// Where a top-level window goes and how large it is with its frame, at a DPI.
namespace ui::win32 {

// The DPI a window opens at on the main screen, before it exists.
UINT systemDpi();
// The size of a window with its frame around a client area of `client`.
SIZE outerSize(SIZE client, DWORD style, DWORD extendedStyle, UINT dpi);
// Where a window of that size sits centred on that area.
POINT centred(SIZE outer, const RECT &area);
// Centres `window` on the work area of the monitor `owner` is on, where that is another one than
// its own: a move costs a round trip under Wine.
void centreOnMonitorOf(HWND window, HWND owner);

} // namespace ui::win32
