#pragma once

#include <QObject>

// Writes one line to standard output when the first window has been painted and flushed to the
// screen, on the monotonic clock in nanoseconds:
//   first-paint-ns 123456789
class FirstPaintWatcher final : public QObject {
public:
    FirstPaintWatcher();

protected:
    bool eventFilter(QObject *object, QEvent *event) override;

private:
    void painted();

    bool m_seen = false;
};
