#include "ticktimer.h"

#include <QSocketNotifier>
#include <QTimer>

#ifdef Q_OS_LINUX
#include <sys/timerfd.h>
#include <unistd.h>

#include <cstdint>
#endif

namespace ui::qt {

TickTimer::TickTimer(QObject *parent) : QObject(parent), m_timer(new QTimer(this))
{
    connect(m_timer, &QTimer::timeout, this, &TickTimer::timeout);
#ifdef Q_OS_LINUX
    m_fd = timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC);
    if (m_fd >= 0) {
        m_notifier = new QSocketNotifier(m_fd, QSocketNotifier::Read, this);
        m_notifier->setEnabled(false);
        connect(m_notifier, &QSocketNotifier::activated, this, &TickTimer::kernelTick);
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
    if (m_active)
        start();
}

void TickTimer::start()
{
    stop();
    m_active = true;
    if (m_type == Qt::PreciseTimer && armKernelTimer(m_interval))
        return;
    m_timer->setTimerType(m_type);
    m_timer->start(m_interval);
}

void TickTimer::stop()
{
    m_active = false;
    m_timer->stop();
    armKernelTimer(0);
}

bool TickTimer::armKernelTimer(int milliseconds)
{
#ifdef Q_OS_LINUX
    if (m_fd < 0)
        return false;
    const timespec period{milliseconds / 1000, milliseconds % 1000 * 1000000L};
    const itimerspec schedule{period, period}; // all zero disarms it
    if (timerfd_settime(m_fd, 0, &schedule, nullptr) != 0)
        return false;
    m_notifier->setEnabled(milliseconds > 0);
    return milliseconds > 0;
#else
    Q_UNUSED(milliseconds);
    return false;
#endif
}

void TickTimer::kernelTick()
{
#ifdef Q_OS_LINUX
    std::uint64_t expirations = 0;
    // Reading resets the count: more than one means ticks were missed, and they stay missed.
    if (read(m_fd, &expirations, sizeof expirations) == sizeof expirations && m_active)
        emit timeout();
#endif
}

} // namespace ui::qt
