#pragma once

#include "ui/tickschedule.h"
#include "ui/window.h"

#include <windows.h>

namespace ui::win32 {

class WindowHost;

// A timer: ticks on its schedule (TickSchedule), woken by a window timer of its window's, set
// for each tick anew.
class TimerControl final : public Window::Timer {
public:
    TimerControl(HWND window, UINT_PTR id, int interval, WindowHost &host);

    bool enabled() const override { return m_enabled; }
    void setEnabled(bool enabled) override;
    void onTimer(Handler handler) override { m_ticked = std::move(handler); }
    // Its window timer went off.
    void ticked();

private:
    void arm(TickSchedule::Time at);

    HWND m_window;
    UINT_PTR m_id;
    TickSchedule m_schedule;
    WindowHost &m_host;
    Handler m_ticked;
    bool m_enabled = false;
};

} // namespace ui::win32
