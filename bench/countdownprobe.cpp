#include "countdownprobe.h"

#include "confirm/shutdownform.h"
#include "qt/qtruntime.h"
#include "qt/qtwindow.h"
#include "qt/ticktimer.h"

#include <QAbstractButton>
#include <QEvent>
#include <QTimer>

namespace {

double milliseconds(CountdownProbe::Clock::duration duration)
{
    return std::chrono::duration<double, std::milli>(duration).count();
}

} // namespace

CountdownProbe::CountdownProbe(ui::qt::QtRuntime &runtime, poweroff::Road &road)
    : m_form(runtime, road)
{
    QWidget *window = static_cast<ui::qt::QtWindow &>(m_form.window()).widget();
    m_timer = window->findChild<ui::qt::TickTimer *>(QStringLiteral("tmrQuickTimer"));
    // A tick is timed as it arrives, before the handler runs: at the kernel timer's notifier
    // or at the QTimer that stands in for it.
    for (QObject *source : m_timer->children())
        source->installEventFilter(this);
    // Connected after the window's own handler: it sees the warning once it is open.
    connect(m_timer, &ui::qt::TickTimer::timeout, this, &CountdownProbe::tickHandled);
    m_form.window().show();
}

void CountdownProbe::start(int seconds)
{
    m_seconds = seconds;
    m_form.ShowQuickTimerSeconds(seconds);
    QWidget *window = static_cast<ui::qt::QtWindow &>(m_form.window()).widget();
    m_start = Clock::now();
    window->findChild<QAbstractButton *>(QStringLiteral("cmdStartQuickTimer"))->click();
}

bool CountdownProbe::eventFilter(QObject *, QEvent *event)
{
    if ((event->type() == QEvent::SockAct || event->type() == QEvent::Timer) && !finished())
        m_ticks.push_back(Clock::now());
    return false;
}

void CountdownProbe::tickHandled()
{
    confirm::ShutDownForm *warning = m_form.shutDownForm();
    if (finished() || !warning || !warning->isLoaded())
        return;
    m_warning = Clock::now();
    // Never let the warning count: nothing here may ask for a power-off.
    QTimer::singleShot(0, this, [warning] { warning->cmdCancel_Click(); });
}

std::vector<double> CountdownProbe::latenessMs() const
{
    std::vector<double> lateness;
    for (std::size_t k = 0; k < m_ticks.size(); ++k)
        lateness.push_back(milliseconds(m_ticks[k] - m_start - std::chrono::seconds(k + 1)));
    return lateness;
}

double CountdownProbe::warningDriftMs() const
{
    return milliseconds(m_warning - m_start - std::chrono::seconds(m_seconds + 1));
}

double CountdownProbe::elapsedMs() const
{
    return milliseconds(m_warning - m_start);
}
