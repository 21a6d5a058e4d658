#pragma once

#include <windows.h>

#include <functional>
#include <memory>
#include <optional>
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
struct HandleDeleter {
    void operator()(HANDLE handle) const { CloseHandle(handle); }
};
struct LibraryDeleter {
    void operator()(HMODULE library) const { FreeLibrary(library); }
};
struct MenuDeleter {
    void operator()(HMENU menu) const { DestroyMenu(menu); }
};

template <typename Handle, typename Deleter>
using Unique = std::unique_ptr<std::remove_pointer_t<Handle>, Deleter>;
using UniqueFont = Unique<HFONT, GdiObjectDeleter>;
using UniqueBrush = Unique<HBRUSH, GdiObjectDeleter>;
using UniqueBitmap = Unique<HBITMAP, GdiObjectDeleter>;
using UniqueIcon = Unique<HICON, IconDeleter>;
using UniqueWindow = Unique<HWND, WindowDeleter>;
using UniqueDc = Unique<HDC, DcDeleter>;
using UniqueHandle = Unique<HANDLE, HandleDeleter>;
using UniqueLibrary = Unique<HMODULE, LibraryDeleter>;
using UniqueMenu = Unique<HMENU, MenuDeleter>;

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

// The object a window of ours was made for: given to CreateWindowExW, kept from WM_NCCREATE on.
template <typename Object> Object *windowObject(HWND window, UINT message, LPARAM lParam)
{
    if (message == WM_NCCREATE)
        SetWindowLongPtrW(
            window, GWLP_USERDATA,
            reinterpret_cast<LONG_PTR>(reinterpret_cast<CREATESTRUCTW *>(lParam)->lpCreateParams));
    return reinterpret_cast<Object *>(GetWindowLongPtrW(window, GWLP_USERDATA));
}

// A window that is never shown, only there to receive messages: from another process, from the
// shell. Top-level, as the shell's word that the taskbar is back reaches top-level windows only.
// Its handler answers a message, or leaves it to the default.
class MessageWindow {
public:
    using Handle = std::function<std::optional<LRESULT>(UINT message, WPARAM, LPARAM)>;
    MessageWindow(HINSTANCE instance, const wchar_t *className, Handle handle);
    HWND window() const { return m_window.get(); }

private:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    Handle m_handle;
    WindowClass m_class;
    UniqueWindow m_window;
};

std::wstring wide(const std::string &utf8);
std::string narrow(const std::wstring &utf16);

} // namespace ui::win32
