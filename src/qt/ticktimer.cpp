#include "ticktimer.h"

#include <QSocketNotifier>
#include <QTimer>

#ifdef Q_OS_LINUX
#include <sys/timerfd.h>
#include <unistd.h>

#include <cstdint>
#endif

namespace ui::qt {

namespace {

TickSchedule::Time now()
{
    // The monotonic clock on Linux, as the timerfd's.
    return std::chrono::steady_clock::now().time_since_epoch();
}

} // namespace

TickTimer::TickTimer(QObject *parent) : QObject(parent), m_timer(new QTimer(this))
{
    m_timer->setSingleShot(true);
    m_timer->setTimerType(Qt::PreciseTimer);
    connect(m_timer, &QTimer::timeout, this, &TickTimer::wake);
#ifdef Q_OS_LINUX
    m_fd = timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC);
    if (m_fd >= 0) {
        m_notifier = new QSocketNotifier(m_fd, QSocketNotifier::Read, this);
        m_notifier->setEnabled(false);
        connect(m_notifier, &QSocketNotifier::activated, this, &TickTimer::wake);
    }
#endif
}

TickTimer::~TickTimer()
{
#ifdef Q_OS_LINUX
    if (m_fd >= 0) {
        m_notifier->setEnabled(false); // let go of the descriptor before it is closed
        close(m_fd);
    }
#endif
}

void TickTimer::setInterval(int milliseconds)
{
    m_interval = milliseconds;
    m_schedule = TickSchedule(std::chrono::milliseconds(milliseconds));
    if (m_active)
        start();
}

void TickTimer::start()
{
    stop();
    m_active = true;
    arm(m_schedule.start(now()));
}

void TickTimer::stop()
{
    m_active = false;
    m_timer->stop();
    arm(TickSchedule::Time::zero());
}

void TickTimer::arm(TickSchedule::Time at)
{
    // Zero disarms.
#ifdef Q_OS_LINUX
    if (m_fd >= 0) {
        const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(at);
        const itimerspec once{{0, 0}, {time_t(seconds.count()), long((at - seconds).count())}};
        timerfd_settime(m_fd, TFD_TIMER_ABSTIME, &once, nullptr);
        m_notifier->setEnabled(at != TickSchedule::Time::zero());
        return;
    }
#endif
    if (at != TickSchedule::Time::zero())
        m_timer->start(int(std::max<std::int64_t>(
            0, std::chrono::duration_cast<std::chrono::milliseconds>(at - now()).count())));
}

void TickTimer::wake()
{
#ifdef Q_OS_LINUX
    std::uint64_t expirations = 0;
    if (m_fd >= 0 && read(m_fd, &expirations, sizeof expirations) != sizeof expirations)
        return;
#endif
    if (!m_active)
        return;
    // The next tick is armed before this one is handled, however long that takes.
    arm(m_schedule.next(now()));
    emit timeout();
}

} // namespace ui::qt
