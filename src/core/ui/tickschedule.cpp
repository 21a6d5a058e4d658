#include "tickschedule.h"

namespace ui {

TickSchedule::Time TickSchedule::start(Time now)
{
    m_start = now;
    return now + m_interval;
}

TickSchedule::Time TickSchedule::next(Time now) const
{
    // The tick nearest its time is this one; the next is due one interval after it.
    const auto since = now - m_start;
    const auto index = (since + m_interval / 2) / m_interval;
    return m_start + (index + 1) * m_interval;
}

} // namespace ui
