#pragma once

#include "ui/definition.h"

#include <windows.h>

namespace ui::win32 {

// The styles a child control starts with: shown where its definition says so.
inline DWORD shownStyle(const ControlDefinition &definition)
{
    return (definition.visible ? WS_VISIBLE : 0) | WS_CHILD | WS_CLIPSIBLINGS;
}

// What a window's child control is to the window: found from its HWND, for the messages the
// window hears about it. Gone with the object.
class Control {
public:
    explicit Control(HWND control);
    virtual ~Control();
    Control(const Control &) = delete;
    Control &operator=(const Control &) = delete;

    static Control *of(HWND control);
    HWND control() const { return m_control; }
    // The window heard of the control: WM_COMMAND, WM_VSCROLL.
    virtual void notified(UINT, WPARAM) {}

private:
    HWND m_control;
};

} // namespace ui::win32
