#pragma once

#include "control.h"
#include "ui/definition.h"

namespace ui::win32 {

class Win32Window;

// A frame: a group box around the spinners and their fields. A scroll bar draws no focus of its
// own: the frame draws it, around the focused spinner and its field.
class FrameControl final : public Control {
public:
    FrameControl(const ControlDefinition &definition, RECT place, Win32Window &window);

private:
    static LRESULT CALLBACK procedure(HWND frame, UINT message, WPARAM wParam, LPARAM lParam,
                                      UINT_PTR, DWORD_PTR self);

    Win32Window &m_window;
};

} // namespace ui::win32
