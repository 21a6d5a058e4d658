#pragma once

#include "control.h"
#include "ui/window.h"

namespace ui::win32 {

class Win32Window;

// A command button of the window's (Button, a window class of its own) as the behaviour sees it.
class ButtonControl final : public Window::Button, public Control {
public:
    ButtonControl(const ControlDefinition &definition, RECT place, int id, Win32Window &window);

    bool state() const override;
    void setState(bool state) override;
    std::string caption() const override;
    void setCaption(const std::string &caption) override;
    void onClick(Handler handler) override { m_clicked = std::move(handler); }
    // BN_CLICKED; Enter and Esc, which arrive as IDOK and IDCANCEL, mean nothing.
    void notified(UINT message, WPARAM wParam) override;

private:
    Win32Window &m_window;
    Handler m_clicked;
};

} // namespace ui::win32
