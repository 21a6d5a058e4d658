#pragma once

#include <windows.h>

#include <memory>
#include <string>
#include <type_traits>

// Owners for the handles the runtime makes, so that none leaks on any path.
namespace ui::win32 {

struct GdiObjectDeleter {
    void operator()(HGDIOBJ object) const { DeleteObject(object); }
};
struct IconDeleter {
    void operator()(HICON icon) const { DestroyIcon(icon); }
};
struct WindowDeleter {
    void operator()(HWND window) const { DestroyWindow(window); }
};
struct DcDeleter {
    void operator()(HDC dc) const { DeleteDC(dc); }
};

template <typename Handle, typename Deleter>
using Unique = std::unique_ptr<std::remove_pointer_t<Handle>, Deleter>;
using UniqueFont = Unique<HFONT, GdiObjectDeleter>;
using UniqueBrush = Unique<HBRUSH, GdiObjectDeleter>;
using UniqueBitmap = Unique<HBITMAP, GdiObjectDeleter>;
using UniqueIcon = Unique<HICON, IconDeleter>;
using UniqueWindow = Unique<HWND, WindowDeleter>;
using UniqueDc = Unique<HDC, DcDeleter>;

// Selects an object into a device context for as long as it lives.
class Selected {
public:
    Selected(HDC dc, HGDIOBJ object) : m_dc(dc), m_previous(SelectObject(dc, object)) {}
    ~Selected() { SelectObject(m_dc, m_previous); }
    Selected(const Selected &) = delete;
    Selected &operator=(const Selected &) = delete;

private:
    HDC m_dc;
    HGDIOBJ m_previous;
};

// A window class, registered for as long as it lives.
class WindowClass {
public:
    WindowClass(HINSTANCE instance, const wchar_t *name, WNDPROC procedure);
    ~WindowClass() { UnregisterClassW(m_name, m_instance); }
    WindowClass(const WindowClass &) = delete;
    WindowClass &operator=(const WindowClass &) = delete;
    const wchar_t *name() const { return m_name; }

private:
    HINSTANCE m_instance;
    const wchar_t *m_name;
};

std::wstring wide(const std::string &utf8);
std::string narrow(const std::wstring &utf16);

} // namespace ui::win32
