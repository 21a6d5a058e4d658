#pragma once

#include "accessible.h"
#include "control.h"
#include "ui/contrast.h"
#include "ui/window.h"

#include <optional>
#include <string>

namespace ui::win32 {

class Win32Window;

// A label: a static control that sees the mouse for its tooltip, its one line centred in its
// height. A screen reader reads it named by its unit, or by what was last announced, or by its
// text; a number is its value too.
class LabelControl final : public Window::Label, public Control {
public:
    LabelControl(const ControlDefinition &definition, RECT place, std::optional<COLORREF> colour,
                 Win32Window &window);

    std::string caption() const override { return m_caption; }
    void setCaption(const std::string &caption) override;
    void setDetail(const std::string &detail) override;
    void announce(const std::string &words) override;
    // Its defined colour where readable; otherwise, and under high contrast, the scheme's.
    COLORREF colour(const Scheme &scheme) const;

private:
    Presentation presentation() const;
    static LRESULT CALLBACK procedure(HWND label, UINT message, WPARAM wParam, LPARAM lParam,
                                      UINT_PTR, DWORD_PTR self);

    std::string m_caption;
    std::wstring m_name;
    std::optional<COLORREF> m_colour;
    Win32Window &m_window;
};

} // namespace ui::win32
