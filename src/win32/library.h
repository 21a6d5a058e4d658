#pragma once

#include <windows.h>

namespace ui::win32 {

// Functions newer than some of the systems the program starts on, asked for by name in a library
// already loaded: the DPI functions from Windows 10 1607 on, the task dialog from the common
// controls' version 6. Null where the system has none.
template <typename Function> Function from(const wchar_t *library, const char *name)
{
    const FARPROC found = GetProcAddress(GetModuleHandleW(library), name);
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(found));
}

template <typename Function> Function user32(const char *name)
{
    return from<Function>(L"user32.dll", name);
}

} // namespace ui::win32
