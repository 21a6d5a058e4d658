#include "timercontrol.h"

#include "windowhost.h"

#include <algorithm>

namespace ui::win32 {

namespace {

TickSchedule::Time now()
{
    LARGE_INTEGER count;
    LARGE_INTEGER frequency;
    QueryPerformanceCounter(&count);
    QueryPerformanceFrequency(&frequency);
    return std::chrono::nanoseconds(
        static_cast<long long>(double(count.QuadPart) * 1e9 / double(frequency.QuadPart)));
}

} // namespace

TimerControl::TimerControl(HWND window, UINT_PTR id, int interval, WindowHost &host)
    : m_window(window), m_id(id), m_schedule(std::chrono::milliseconds(interval)), m_host(host)
{
}

void TimerControl::setEnabled(bool enabled)
{
    // Enabling a running timer leaves its rhythm alone.
    if (enabled == m_enabled)
        return;
    m_enabled = enabled;
    if (enabled)
        arm(m_schedule.start(now()));
    else
        KillTimer(m_window, m_id);
}

void TimerControl::ticked()
{
    if (!m_enabled)
        return;
    arm(m_schedule.next(now()));
    if (m_ticked)
        m_host.run(m_ticked);
}

void TimerControl::arm(TickSchedule::Time at)
{
    const auto wait = std::chrono::duration_cast<std::chrono::milliseconds>(at - now());
    SetTimer(m_window, m_id, UINT(std::max<long long>(1, wait.count())), nullptr);
}

} // namespace ui::win32
