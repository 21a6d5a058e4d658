#pragma once

#include "ui/window.h"

#include <windows.h>

#include <functional>

namespace ui::win32 {

// The question a window asks over itself: a task dialog, or where the common controls have none,
// a message box. Modal over its window only; the window's timers go on ticking meanwhile.
class QuestionBox final {
public:
    void ask(HWND owner, HINSTANCE instance, const Window::Question &question,
             const std::function<void(bool keep)> &answered);
    // Closes it unanswered, if it is open.
    void withdraw();

private:
    HWND m_dialog = nullptr;
    bool m_withdrawn = false; // it was closed unanswered
};

} // namespace ui::win32
