#pragma once

#include <QObject>

class QSocketNotifier;
class QTimer;

namespace ui::qt {

// A repeating timer that keeps to its schedule: tick k comes k intervals after start().
// On Linux a precise one is a timerfd, which the kernel wakes on time; a QTimer's wait in the
// event loop is rounded up to the millisecond and given a millisecond of slack per second, so
// its ticks come 1 to 2 ms late. Elsewhere, and for other timer types, it is a QTimer.
// Ticks missed while the event loop was busy are dropped, not queued.
class TickTimer final : public QObject {
    Q_OBJECT

public:
    explicit TickTimer(QObject *parent = nullptr);
    ~TickTimer() override;

    void setInterval(int milliseconds);
    int interval() const { return m_interval; }
    void setTimerType(Qt::TimerType type) { m_type = type; }
    Qt::TimerType timerType() const { return m_type; }

    void start();
    void stop();
    bool isActive() const { return m_active; }

signals:
    void timeout();

private:
    bool armKernelTimer(int milliseconds);
    void kernelTick();

    int m_interval = 0;
    Qt::TimerType m_type = Qt::PreciseTimer;
    bool m_active = false;
    QTimer *m_timer;
    int m_fd = -1;
    QSocketNotifier *m_notifier = nullptr;
};

} // namespace ui::qt
