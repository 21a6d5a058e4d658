#pragma once

#include "ui/contrast.h"

#include <windows.h>

namespace ui::win32 {

inline Rgb rgb(COLORREF colour)
{
    return {GetRValue(colour), GetGValue(colour), GetBValue(colour)};
}

inline COLORREF colorref(Rgb colour)
{
    return RGB(colour.red, colour.green, colour.blue);
}

} // namespace ui::win32
