#include "notifications.h"

#include "poweroff/log.h"
#include "qtruntime.h"

#include <QDBusConnection>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

namespace ui::qt {

namespace {

const QString Service = QStringLiteral("org.freedesktop.Notifications");
const QString Path = QStringLiteral("/org/freedesktop/Notifications");

QDBusMessage method(const char *name)
{
    return QDBusMessage::createMethodCall(Service, Path, Service, QLatin1String(name));
}

} // namespace

Notifications::Notifications(QtRuntime &runtime) : m_runtime(runtime)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    bus.connect(Service, Path, Service, QStringLiteral("ActionInvoked"), this,
                SLOT(actionInvoked(uint, QString)));
    bus.connect(Service, Path, Service, QStringLiteral("NotificationClosed"), this,
                SLOT(closed(uint)));
}

Notifications::~Notifications()
{
    withdraw();
}

void Notifications::show(const Notice &notice, Handler act)
{
    m_act = std::move(act);
    m_waiting.push_back(notice);
    pump();
}

void Notifications::withdraw()
{
    m_act = nullptr;
    m_waiting.push_back(std::nullopt);
    pump();
}

void Notifications::pump()
{
    while (!m_asking && !m_waiting.empty()) {
        const std::optional<Notice> next = m_waiting.front();
        m_waiting.pop_front();
        if (next) {
            send(*next);
        } else if (m_id) {
            QDBusMessage close = method("CloseNotification");
            close << std::exchange(m_id, 0);
            QDBusConnection::sessionBus().asyncCall(close);
        }
    }
}

void Notifications::send(const Notice &notice)
{
    const QDBusConnection bus = QDBusConnection::sessionBus();
    // A call on a bus that never came up would never be answered.
    if (!bus.isConnected())
        return failed(bus.lastError().message());
    QDBusMessage notify = method("Notify");
    // Critical: it stays until it is withdrawn, and desktops show it over full-screen windows.
    // "default" is a click on the notification itself, where a desktop shows no buttons.
    const QString action = QString::fromStdString(notice.action);
    notify << QStringLiteral("Veltrane") << m_id << QStringLiteral("veltrane")
           << QString::fromStdString(notice.summary) << QString::fromStdString(notice.body)
           << QStringList{QStringLiteral("default"), action, QStringLiteral("act"), action}
           << QVariantMap{{QStringLiteral("urgency"), QVariant::fromValue(uchar(2))},
                          {QStringLiteral("desktop-entry"),
                           QStringLiteral("org.veltrane.Veltrane")}}
           << 0;
    m_asking = true;
    auto *watcher = new QDBusPendingCallWatcher(bus.asyncCall(notify), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this](QDBusPendingCallWatcher *call) {
                call->deleteLater();
                const QDBusPendingReply<uint> reply = *call;
                if (reply.isError())
                    failed(reply.error().name() + QStringLiteral(": ") + reply.error().message());
                m_id = reply.isError() ? 0 : reply.value();
                m_asking = false;
                pump();
            });
}

void Notifications::failed(const QString &why)
{
    if (!std::exchange(m_told, true))
        poweroff::log("no desktop notification: " + why.toStdString());
}

void Notifications::actionInvoked(uint id, const QString &action)
{
    if (id == m_id && m_act &&
        (action == QLatin1String("act") || action == QLatin1String("default")))
        m_runtime.run(m_act);
}

void Notifications::closed(uint id)
{
    // Dismissed: the next news comes as a new one.
    if (id == m_id)
        m_id = 0;
}

} // namespace ui::qt
