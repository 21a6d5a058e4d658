#pragma once

#include <QObject>

// Writes two lines to standard output and ends the program: when the first window has been
// painted (the monotonic clock, in nanoseconds) and, a moment later, the peak resident memory.
//   first-paint-ns 123456789
//   peak-kib 24000
class FirstPaintWatcher final : public QObject {
public:
    FirstPaintWatcher();

protected:
    bool eventFilter(QObject *object, QEvent *event) override;

private:
    void painted();
    void finish();

    bool m_seen = false;
};
