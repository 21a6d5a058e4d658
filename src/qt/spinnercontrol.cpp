#include "spinnercontrol.h"

#include "ui/spinnerrange.h"

namespace ui::qt {

SpinnerControl::SpinnerControl(const ControlDefinition &definition, QWidget *parent,
                               WindowHost &host)
    : m_spinner(new Spinner(SpinnerRange::of(definition), parent)), m_host(host)
{
    m_spinner->setSingleStep(definition.smallStep);
    m_spinner->setPageStep(definition.largeStep);
    m_spinner->setPosition(definition.position);
}

} // namespace ui::qt
