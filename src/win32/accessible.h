#pragma once

#include "ui/accessible.h"

#include <windows.h>

#include <functional>
#include <memory>
#include <string>

namespace ui::win32 {

// What a screen reader is told of one control or window, asked afresh each time.
struct Presentation {
    Role role = Role::None;
    std::wstring name;
    std::wstring value; // empty: none
    bool pressed = false;
};
using Present = std::function<Presentation()>;

// The answer to WM_GETOBJECT for a window of ours: Windows' own accessible object for it, with
// the role, name, value and state the definitions give. oleacc is loaded on the first question,
// so that a start without a screen reader pays nothing for it. A screen reader may keep the
// object after the control is gone: from then on it answers that it is disconnected.
LRESULT answerGetObject(HWND window, WPARAM wParam, LPARAM lParam,
                        std::weak_ptr<const Present> present);

// Tells screen readers that a window's words changed and are to be read out now (a live
// region), or that a window opened as an alert.
void announceChange(HWND window);
void announceAlert(HWND window);

} // namespace ui::win32
