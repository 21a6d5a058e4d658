#pragma once

#include "ui/tickschedule.h"

#include <QObject>

class QSocketNotifier;
class QTimer;

namespace ui::qt {

// A repeating timer that keeps to its schedule (TickSchedule): tick k comes k intervals after
// start(), and ticks missed while the event loop was busy are dropped. On Linux each tick is
// woken by a timerfd at its time on the monotonic clock: a QTimer's wait in the event loop is
// rounded up to the millisecond and given a millisecond of slack per second, so its ticks come
// 1 to 2 ms late. Elsewhere a precise QTimer wakes it.
class TickTimer final : public QObject {
    Q_OBJECT

public:
    explicit TickTimer(QObject *parent = nullptr);
    ~TickTimer() override;

    void setInterval(int milliseconds);
    int interval() const { return m_interval; }

    void start();
    void stop();
    bool isActive() const { return m_active; }

signals:
    void timeout();

private:
    void arm(TickSchedule::Time at);
    void wake();

    int m_interval = 0;
    bool m_active = false;
    TickSchedule m_schedule{std::chrono::milliseconds(0)};
    QTimer *m_timer;
    int m_fd = -1;
    QSocketNotifier *m_notifier = nullptr;
};

} // namespace ui::qt
