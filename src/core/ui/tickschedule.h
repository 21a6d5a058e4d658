#pragma once

#include <chrono>

namespace ui {

// When a repeating timer's ticks come, for every runtime alike: tick k of a run comes k
// intervals after the run's start, so that the countdown does not drift, and ticks missed while
// the program was busy are dropped, not made up. Times are on a monotonic clock.
class TickSchedule {
public:
    using Time = std::chrono::nanoseconds;

    explicit TickSchedule(std::chrono::milliseconds interval) : m_interval(interval) {}
    // The run starts now; returns when its first tick is due.
    Time start(Time now);
    // A tick has come at `now`, perhaps a little early or late: when the next one is due.
    Time next(Time now) const;

private:
    Time m_interval;
    Time m_start{};
};

} // namespace ui
