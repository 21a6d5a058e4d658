#include "spinner.h"

namespace ui::qt {

Spinner::Spinner(int upperEnd, int lowerEnd, QWidget *parent)
    : QScrollBar(Qt::Vertical, parent), m_sign(upperEnd > lowerEnd ? -1 : 1)
{
    setRange(std::min(m_sign * upperEnd, m_sign * lowerEnd),
             std::max(m_sign * upperEnd, m_sign * lowerEnd));
    // A change is reported when the thumb is let go, never while it is dragged.
    setTracking(false);
    setFocusPolicy(Qt::StrongFocus);
}

} // namespace ui::qt
