#pragma once

#include "control.h"
#include "ui/spinnerrange.h"
#include "ui/window.h"

namespace ui::win32 {

class Win32Window;

// A spinner: a vertical scroll bar over its range (SpinnerRange), holding the position negated
// where the range's first end is the larger. A screen reader reads a spin button named by its
// unit, its value the number its field shows; its focus is drawn by the frame around it.
class SpinnerControl final : public Window::ScrollBar, public Control {
public:
    SpinnerControl(const ControlDefinition &definition, RECT place, Win32Window &window);

    int position() const override;
    void setPosition(int position) override { place(m_range.held(position)); }
    void onChange(Handler handler) override { m_changed = std::move(handler); }
    // A scroll bar's message: arrows, keys, a click on the track, the thumb let go.
    void notified(UINT message, WPARAM wParam) override;

private:
    // Clamps to the range and raises the change event when the position moved.
    void place(int value);
    static LRESULT CALLBACK procedure(HWND bar, UINT message, WPARAM wParam, LPARAM lParam,
                                      UINT_PTR, DWORD_PTR self);

    const ControlDefinition &m_definition;
    SpinnerRange m_range;
    Win32Window &m_window;
    Handler m_changed;
};

} // namespace ui::win32
