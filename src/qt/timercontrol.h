#pragma once

#include "ticktimer.h"
#include "windowhost.h"

namespace ui::qt {

// A timer, made from its definition; one that is defined enabled runs from the start.
class TimerControl final : public Window::Timer {
public:
    TimerControl(const ControlDefinition &definition, QObject *parent, WindowHost &host)
        : m_timer(new TickTimer(parent)), m_host(host)
    {
        m_timer->setObjectName(QString::fromStdString(definition.name));
        m_timer->setInterval(definition.interval);
        if (definition.enabled)
            m_timer->start();
    }

    bool enabled() const override { return m_timer->isActive(); }
    void setEnabled(bool enabled) override
    {
        // Enabling a running timer leaves its rhythm alone.
        if (!enabled)
            m_timer->stop();
        else if (!m_timer->isActive())
            m_timer->start();
    }
    void onTimer(Handler handler) override
    {
        connectHandler(m_timer, &TickTimer::timeout, m_host, std::move(handler));
    }

private:
    TickTimer *m_timer;
    WindowHost &m_host;
};

} // namespace ui::qt
