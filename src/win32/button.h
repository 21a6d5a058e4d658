#pragma once

#include "accessible.h"
#include "ui/buttonproperties.h"

#include <windows.h>

#include <memory>
#include <string>

namespace ui::win32 {

class WindowHost;

// The command button of both windows, a window class of its own: a picture above a caption on a
// flat coloured face. Its state flips on every click before the click is reported to the
// parent (WM_COMMAND, BN_CLICKED); Space clicks it, Enter does not.
class Button final {
public:
    // A toggle's state a screen reader hears: pressed while it is on.
    static HWND create(HWND parent, int id, const RECT &rect, const ButtonProperties &properties,
                       bool toggle, WindowHost &runtime, UINT dpi);
    static Button *of(HWND button);
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    bool state() const { return m_state; }
    void setState(bool state);
    const std::wstring &caption() const { return m_caption; }
    void setCaption(const std::wstring &caption);
    // Drawn anew at another DPI: the window has moved to another screen.
    void setDpi(UINT dpi);
    void click();

private:
    Button(HWND window, const ButtonProperties &properties, bool toggle, WindowHost &runtime,
           UINT dpi);
    LRESULT handle(UINT message, WPARAM wParam, LPARAM lParam);
    void paint(HDC dc) const;
    COLORREF face() const;

    HWND m_window;
    ButtonProperties m_properties;
    WindowHost &m_runtime;
    UINT m_dpi;
    std::wstring m_caption;
    bool m_toggle;
    bool m_state = false;
    bool m_hover = false;
    bool m_pressed = false;                     // the mouse or Space is down on it
    std::shared_ptr<const Present> m_presented; // what a screen reader hears of it
};

} // namespace ui::win32
