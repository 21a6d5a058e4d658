#pragma once

#include <QScrollBar>

namespace ui::qt {

// A vertical scroll bar used as a spinner over a range given by its two ends, the one its
// upper arrow moves towards first; either may be the larger. Qt's upper arrow always moves
// towards the minimum, so where the first end is the larger the widget holds the position
// negated.
class Spinner final : public QScrollBar {
public:
    Spinner(int upperEnd, int lowerEnd, QWidget *parent = nullptr);

    int position() const { return m_sign * value(); }
    void setPosition(int position) { setValue(m_sign * position); }
    // What its field can show: the range reaches one step past it at each end, to wrap there.
    int lowest() const { return std::min(m_sign * minimum(), m_sign * maximum()) + 1; }
    int highest() const { return std::max(m_sign * minimum(), m_sign * maximum()) - 1; }

private:
    int m_sign;
};

} // namespace ui::qt
