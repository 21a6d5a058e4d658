#include "spinner.h"

namespace ui::qt {

Spinner::Spinner(const SpinnerRange &range, QWidget *parent)
    : QScrollBar(Qt::Vertical, parent), m_range(range)
{
    setRange(range.minimum, range.maximum);
    // A change is reported when the thumb is let go, never while it is dragged.
    setTracking(false);
    setFocusPolicy(Qt::StrongFocus);
}

} // namespace ui::qt
