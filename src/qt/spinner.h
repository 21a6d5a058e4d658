#pragma once

#include "ui/spinnerrange.h"

#include <QScrollBar>

namespace ui::qt {

// A vertical scroll bar used as a spinner over its range (SpinnerRange): the widget holds the
// position negated where the range's first end is the larger.
class Spinner final : public QScrollBar {
public:
    Spinner(const SpinnerRange &range, QWidget *parent = nullptr);

    int position() const { return m_range.position(value()); }
    void setPosition(int position) { setValue(m_range.held(position)); }
    const SpinnerRange &range() const { return m_range; }

private:
    SpinnerRange m_range;
};

} // namespace ui::qt
