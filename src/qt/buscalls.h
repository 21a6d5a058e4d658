#pragma once

#include <QDBusConnection>
#include <QObject>
#include <QString>

#include <functional>

class QDBusMessage;

namespace ui::qt {

// Calls on the session or the system bus that never block: the answer, or the error, comes
// through the event loop, and none comes once this is gone.
class BusCalls {
public:
    using Then = std::function<void(const QDBusMessage &)>;

    // A connection to the bus, made afresh when its bus has restarted.
    QDBusConnection bus(QDBusConnection::BusType type);
    void call(QDBusConnection::BusType type, const QDBusMessage &message, int timeoutMs, Then then);
    // The parent of the replies and timers still awaited.
    QObject *awaited() { return &m_awaited; }

private:
    QObject m_awaited;
    QString m_names[2];
    int m_connections = 0;
};

} // namespace ui::qt
