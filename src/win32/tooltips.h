#pragma once

#include <windows.h>

#include <string>
#include <utility>
#include <vector>

namespace ui::win32 {

// A window's tooltips: one tooltip control of its own, made on first use, as a window with none,
// like the warning, opens faster without; gone with the window.
class Tooltips final {
public:
    Tooltips(HWND window, HINSTANCE instance) : m_window(window), m_instance(instance) {}

    // Shows `text` over `control` from now on, in place of its tip before.
    void add(HWND control, const std::wstring &text);
    // Once the window is on screen (addWaiting): under Wine each top-level window, the
    // tooltips' among them, costs tens of milliseconds.
    void addLater(HWND control, std::wstring text) { m_waiting.emplace_back(control, text); }
    void addWaiting();

private:
    HWND m_window;
    HINSTANCE m_instance;
    HWND m_tips = nullptr;
    std::vector<std::pair<HWND, std::wstring>> m_waiting;
};

} // namespace ui::win32
