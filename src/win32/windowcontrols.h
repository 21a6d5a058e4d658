#pragma once

#include "buttoncontrol.h"
#include "framecontrol.h"
#include "labelcontrol.h"
#include "spinnercontrol.h"
#include "timercontrol.h"
#include "tooltips.h"
#include "ui/window.h"
#include "windowhost.h"

#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace ui::win32 {

class Win32Window;

// The controls of one window: made from its definition where it places them, in pixels at the
// window's DPI, found by name, placed again when the DPI changes.
class WindowControls {
public:
    // Their tooltips are added to `tips` once the window is shown.
    WindowControls(const WindowDefinition &definition, Win32Window &window, WindowHost &host,
                   Tooltips &tips);

    // A control's window by its name; none for a timer.
    HWND find(std::string_view name) const;
    // The control the window opens with the focus on.
    HWND first() const { return m_first; }
    Window::Label &label(std::string_view name);
    Window::ScrollBar &scrollBar(std::string_view name);
    Window::Button &button(std::string_view name);
    Window::Timer &timer(std::string_view name);
    // Around the focused spinner and its field, in the frame's pixels; empty when no spinner
    // has the focus.
    RECT focusArea() const;

    // The timers enabled in the definition start when the window is shown; all stop at unload.
    void startTimers();
    void stopTimers();
    // A window timer went off.
    void ticked(UINT_PTR id);
    // Every control in its place and with its font at the window's new DPI.
    void rescale();

private:
    RECT placeOf(const ControlDefinition &control) const;
    int pixels(int twips) const;
    HFONT fontOf(const ControlDefinition &control) const;

    const WindowDefinition &m_definition;
    Win32Window &m_window;
    WindowHost &m_host;
    HWND m_first = nullptr;
    std::map<std::string, HWND, std::less<>> m_controls;
    std::map<std::string, std::unique_ptr<LabelControl>, std::less<>> m_labels;
    std::map<std::string, std::unique_ptr<SpinnerControl>, std::less<>> m_spinners;
    std::map<std::string, std::unique_ptr<ButtonControl>, std::less<>> m_buttons;
    std::vector<std::unique_ptr<FrameControl>> m_frames;
    std::map<std::string, std::unique_ptr<TimerControl>, std::less<>> m_timers;
    std::map<UINT_PTR, TimerControl *> m_timerIds; // for WM_TIMER
    std::vector<TimerControl *> m_startOnShow;
};

} // namespace ui::win32
