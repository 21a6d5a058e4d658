#include "handles.h"

namespace ui::win32 {

WindowClass::WindowClass(HINSTANCE instance, const wchar_t *name, WNDPROC procedure)
    : m_instance(instance), m_name(name)
{
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = name;
    RegisterClassExW(&windowClass);
}

MessageWindow::MessageWindow(HINSTANCE instance, const wchar_t *className, Handle handle)
    : m_handle(std::move(handle)), m_class(instance, className, procedure),
      m_window(CreateWindowExW(0, className, L"", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, instance,
                               this))
{
}

LRESULT CALLBACK MessageWindow::procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    auto *self = windowObject<MessageWindow>(window, message, lParam);
    const std::optional<LRESULT> answered =
        self ? self->m_handle(message, wParam, lParam) : std::nullopt;
    return answered ? *answered : DefWindowProcW(window, message, wParam, lParam);
}

std::wstring wide(const std::string &utf8)
{
    const int length = MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), nullptr, 0);
    std::wstring result(length, L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), int(utf8.size()), result.data(), length);
    return result;
}

std::string narrow(const std::wstring &utf16)
{
    const int length = WideCharToMultiByte(CP_UTF8, 0, utf16.data(), int(utf16.size()), nullptr, 0,
                                           nullptr, nullptr);
    std::string result(length, '\0');
    WideCharToMultiByte(CP_UTF8, 0, utf16.data(), int(utf16.size()), result.data(), length, nullptr,
                        nullptr);
    return result;
}

} // namespace ui::win32
