#include "buscalls.h"

#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QTimer>

namespace ui::qt {

QDBusConnection BusCalls::bus(QDBusConnection::BusType type)
{
    // A connection does not come back when its bus restarts (an upgrade can do that during a
    // long countdown): connect afresh, under a new name, since the old one stays broken.
    QString &name = m_names[type == QDBusConnection::SystemBus];
    if (!name.isEmpty() && QDBusConnection(name).isConnected())
        return QDBusConnection(name);
    if (!name.isEmpty())
        QDBusConnection::disconnectFromBus(name);
    name = QStringLiteral("veltrane-%1-%2-%3")
               .arg(reinterpret_cast<quintptr>(this))
               .arg(type)
               .arg(++m_connections);
    return QDBusConnection::connectToBus(type, name);
}

void BusCalls::call(QDBusConnection::BusType type, const QDBusMessage &message, int timeoutMs,
                    Then then)
{
    const QDBusConnection connection = bus(type);
    if (!connection.isConnected()) {
        // No call is made on a connection that never came up, and no answer would come.
        const QDBusMessage error = QDBusMessage::createError(
            QDBusError::Disconnected,
            QStringLiteral("The bus is not reachable: ") + connection.lastError().message());
        QTimer::singleShot(0, &m_awaited, [then = std::move(then), error] { then(error); });
        return;
    }
    auto *watcher =
        new QDBusPendingCallWatcher(connection.asyncCall(message, timeoutMs), &m_awaited);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, &m_awaited,
                     [then = std::move(then)](QDBusPendingCallWatcher *finished) {
                         finished->deleteLater();
                         then(finished->reply());
                     });
}

} // namespace ui::qt
