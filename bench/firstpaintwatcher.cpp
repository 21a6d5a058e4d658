#include "firstpaintwatcher.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimer>
#include <QWidget>

#include <chrono>
#include <cstdio>

FirstPaintWatcher::FirstPaintWatcher()
{
    QCoreApplication::instance()->installEventFilter(this);
}

bool FirstPaintWatcher::eventFilter(QObject *object, QEvent *event)
{
    if (!m_seen && event->type() == QEvent::Paint && object->isWidgetType() &&
        static_cast<QWidget *>(object)->isWindow()) {
        m_seen = true;
        // The window's children are painted and the whole is flushed within the same pass:
        // the next turn of the event loop comes after all of it.
        QTimer::singleShot(0, this, &FirstPaintWatcher::painted);
    }
    return false;
}

void FirstPaintWatcher::painted()
{
    const auto now = std::chrono::steady_clock::now().time_since_epoch();
    std::printf("first-paint-ns %lld\n",
                static_cast<long long>(std::chrono::nanoseconds(now).count()));
    std::fflush(stdout);
}
