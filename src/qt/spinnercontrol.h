#pragma once

#include "spinner.h"
#include "windowhost.h"

namespace ui::qt {

// A spinner, made from its definition.
class SpinnerControl final : public Window::ScrollBar {
public:
    SpinnerControl(const ControlDefinition &definition, QWidget *parent, WindowHost &host);

    Spinner *widget() const { return m_spinner; }
    int position() const override { return m_spinner->position(); }
    void setPosition(int position) override { m_spinner->setPosition(position); }
    void onChange(Handler handler) override
    {
        connectHandler(m_spinner, &QAbstractSlider::valueChanged, m_host, std::move(handler));
    }

private:
    Spinner *m_spinner;
    WindowHost &m_host;
};

} // namespace ui::qt
