#pragma once

#include "definition.h"

// A scroll bar used as a spinner, for every runtime alike. Its upper arrow moves towards the
// first end of its range, which may be the larger; a scroll bar's upper arrow always moves
// towards its minimum, so where the first end is the larger the control holds the position
// negated. The range reaches one step past what the field shows at each end, to wrap there.
namespace ui {

struct SpinnerRange {
    int sign = 1;    // -1: the control holds positions negated
    int minimum = 0; // what the control holds
    int maximum = 0;

    static SpinnerRange of(const ControlDefinition &spinner);
    int held(int position) const { return sign * position; }
    int position(int held) const { return sign * held; }
    // What the field can show.
    int lowest() const;
    int highest() const;
    // A position one step past either end becomes the other end.
    int wrapped(int position) const;
};

} // namespace ui
