#include "notifications.h"

#include "log/log.h"

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

Notifications::Notifications(Run run) : m_run(std::move(run))
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    bus.connect(Service, Path, Service, QStringLiteral("ActionInvoked"), this,
                SLOT(actionInvoked(uint, QString)));
    bus.connect(Service, Path, Service, QStringLiteral("NotificationClosed"), this,
                SLOT(closed(uint, uint)));
    // Which service it is comes first: what the first notification holds depends on it.
    if (!bus.isConnected())
        return;
    m_asking = true;
    auto *watcher =
        new QDBusPendingCallWatcher(bus.asyncCall(method("GetServerInformation")), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this,
            [this](QDBusPendingCallWatcher *call) {
                call->deleteLater();
                // xfce4-notifyd draws the click on the notification as a button of its own,
                // beside the actions: there, Cancel once is enough.
                const QString name = call->reply().arguments().value(0).toString();
                m_clickIsAButton = name == QLatin1String("Xfce Notify Daemon");
                // notification-daemon 3.20 can leave a withdrawn popup on screen.
                m_mayStay = name == QLatin1String("Notification Daemon");
                // GNOME Shell 43 takes a replaced notification's actions away.
                m_freshOnly = name == QLatin1String("gnome-shell");
                m_asking = false;
                pump();
            });
}

Notifications::~Notifications()
{
    withdraw();
}

void Notifications::show(const Notice &notice, Handler act, Handler later)
{
    m_act = std::move(act);
    m_later = std::move(later);
    m_waiting.push_back(notice);
    pump();
}

void Notifications::withdraw(const std::string &outcome)
{
    m_act = nullptr;
    m_later = nullptr;
    // Its last words: what happened, not urgent, gone by themselves; no action. Sent only
    // where the service may leave it on screen, which its answer to the first question says.
    if ((m_id || m_asking || !m_waiting.empty()) && !outcome.empty())
        m_waiting.push_back(Notice{outcome, {}, {}});
    m_waiting.push_back(std::nullopt);
    pump();
}

void Notifications::pump()
{
    while (!m_asking && !m_waiting.empty()) {
        std::optional<Notice> next = m_waiting.front();
        m_waiting.pop_front();
        if (next && next->action.empty() && (!m_mayStay || !m_id))
            continue; // last words for a service that takes it away, or for nothing shown
        if (next && m_freshOnly) {
            // Where a replaced one loses its Cancel, the news goes out once, in words that
            // stay true, and what is new comes as a new notification.
            if (!next->steady.empty()) {
                next->summary = next->steady;
                next->steady.clear();
            }
            if (m_id && next == m_shown)
                continue;
            close();
        }
        m_shown = next;
        if (next)
            send(*next);
        else
            close();
    }
}

void Notifications::close()
{
    if (!m_id)
        return;
    QDBusMessage close = method("CloseNotification");
    close << std::exchange(m_id, 0);
    QDBusConnection::sessionBus().asyncCall(close);
}

void Notifications::send(const Notice &notice)
{
    const QDBusConnection bus = QDBusConnection::sessionBus();
    // A call on a bus that never came up would never be answered.
    if (!bus.isConnected())
        return failed(bus.lastError().message());
    QDBusMessage notify = method("Notify");
    // Critical: it stays until it is withdrawn, and desktops show it over full-screen windows.
    // "default" is a click on the notification itself, where a desktop shows no buttons. Words
    // without an action only tell what happened: normal, and gone after a few seconds.
    const QString action = QString::fromStdString(notice.action);
    QStringList actions;
    if (!action.isEmpty() && !m_clickIsAButton)
        actions << QStringLiteral("default") << action;
    if (!action.isEmpty())
        actions << QStringLiteral("act") << action;
    if (!action.isEmpty() && !notice.later.empty())
        actions << QStringLiteral("later") << QString::fromStdString(notice.later);
    notify << QStringLiteral("Veltrane") << m_id << QStringLiteral("veltrane")
           << QString::fromStdString(notice.summary) << QString::fromStdString(notice.body)
           << actions
           << QVariantMap{{QStringLiteral("urgency"),
                           QVariant::fromValue(uchar(action.isEmpty() ? 1 : 2))},
                          {QStringLiteral("desktop-entry"),
                           QStringLiteral("org.veltrane.Veltrane")}}
           << (action.isEmpty() ? 5000 : 0);
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
        logging::log("no desktop notification: " + why.toStdString());
}

void Notifications::actionInvoked(uint id, const QString &action)
{
    if (id != m_id)
        return;
    if (m_act && (action == QLatin1String("act") || action == QLatin1String("default")))
        m_run(m_act);
    else if (m_later && action == QLatin1String("later"))
        m_run(m_later);
}

void Notifications::closed(uint id, uint reason)
{
    // Dismissed: the next news comes as a new one.
    if (id != m_id)
        return;
    m_id = 0;
    // Closed by the user (2) or timed out by the service (1) while the warning still counts:
    // without it a Cancel may be nowhere in sight, so it is back at once.
    if ((reason == 1 || reason == 2) && m_shown && m_shown->kept && m_act && m_waiting.empty()) {
        m_waiting.push_back(m_shown);
        pump();
    }
}

} // namespace ui::qt
