#include "logindroad.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCallWatcher>
#include <QPointer>
#include <QTimer>

#include "poweroff/log.h"

namespace poweroff {

namespace {

const char Why[] = "Counting down to turn the computer off";
constexpr int QuickMs = 5000; // for the questions that answer at once

QDBusMessage manager(const char *method)
{
    return QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
        QStringLiteral("org.freedesktop.login1.Manager"), QLatin1String(method));
}

bool failed(const QDBusMessage &reply)
{
    return reply.type() != QDBusMessage::ReplyMessage;
}

std::string words(const QDBusMessage &reply)
{
    return (reply.errorName() + QStringLiteral(": ") + reply.errorMessage()).toStdString();
}

bool unreachable(const QString &errorName)
{
    return errorName == QLatin1String("org.freedesktop.DBus.Error.ServiceUnknown") ||
           errorName == QLatin1String("org.freedesktop.DBus.Error.NameHasNoOwner") ||
           errorName == QLatin1String("org.freedesktop.DBus.Error.Disconnected") ||
           errorName == QLatin1String("org.freedesktop.DBus.Error.NoServer");
}

const char Polkit[] = "An administrator can allow it (polkit's org.freedesktop.login1.power-off, "
                      "or power-off-multiple-sessions while others are logged in), or you can "
                      "turn the computer off yourself when the time is up.";

} // namespace

LogindRoad::LogindRoad(Times times) : m_times(times)
{
}

LogindRoad::~LogindRoad()
{
    // The connections stay open to carry this; the desktop's portal also lets go of what a
    // program held once it is gone from the bus.
    release();
}

std::string LogindRoad::reason(const QString &errorName, const QString &message,
                               const QString &holder)
{
    if (errorName == QLatin1String("org.freedesktop.DBus.Error.AccessDenied"))
        return "permission denied";
    if (errorName == QLatin1String("org.freedesktop.DBus.Error.InteractiveAuthorizationRequired"))
        return "an administrator must allow it";
    if (errorName == QLatin1String("org.freedesktop.login1.BlockedByInhibitorLock"))
        return "held back by " + (holder.isEmpty() ? "another program" : holder.toStdString());
    if (errorName == QLatin1String("org.freedesktop.login1.OperationInProgress"))
        return "a shutdown is already under way";
    if (errorName == QLatin1String("org.freedesktop.DBus.Error.NoReply"))
        return "the system did not answer";
    if (unreachable(errorName))
        return "no power manager answers";
    return message.toStdString();
}

QDBusConnection LogindRoad::bus(QDBusConnection::BusType type)
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

void LogindRoad::call(QDBusConnection::BusType type, const QDBusMessage &message, int timeoutMs,
                      Then then)
{
    // Never blocks: the answer, or the error, comes through the event loop.
    const QDBusConnection connection = bus(type);
    if (!connection.isConnected()) {
        // No call is made on a connection that never came up, and no answer would come.
        const QDBusMessage error = QDBusMessage::createError(
            QDBusError::Disconnected,
            QStringLiteral("The bus is not reachable: ") + connection.lastError().message());
        QTimer::singleShot(0, &m_calls, [then = std::move(then), error] { then(error); });
        return;
    }
    auto *watcher = new QDBusPendingCallWatcher(connection.asyncCall(message, timeoutMs), &m_calls);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, &m_calls,
                     [then = std::move(then)](QDBusPendingCallWatcher *finished) {
                         finished->deleteLater();
                         then(finished->reply());
                     });
}

void LogindRoad::blockingHolder(Holder then)
{
    call(QDBusConnection::SystemBus, manager("ListInhibitors"), QuickMs,
         [then = std::move(then)](const QDBusMessage &reply) {
             QString holder;
             QString reason;
             if (!failed(reply)) {
                 // a(ssssuu): what, who, why, mode, user, process
                 const auto list = reply.arguments().value(0).value<QDBusArgument>();
                 list.beginArray();
                 while (!list.atEnd()) {
                     QString what, who, why, mode;
                     uint user = 0, process = 0;
                     list.beginStructure();
                     list >> what >> who >> why >> mode >> user >> process;
                     list.endStructure();
                     if (holder.isEmpty() && mode == QLatin1String("block") &&
                         what.split(u':').contains(QLatin1String("shutdown"))) {
                         holder = who;
                         reason = why;
                     }
                 }
                 list.endArray();
             }
             then(holder, reason);
         });
}

void LogindRoad::check(Checked done)
{
    call(QDBusConnection::SystemBus, manager("CanPowerOff"), QuickMs,
         [this, done = std::move(done)](const QDBusMessage &reply) {
             const QString answer = reply.arguments().value(0).toString();
             const std::string detail =
                 failed(reply) ? words(reply) : "CanPowerOff: " + answer.toStdString();
             if (failed(reply) && unreachable(reply.errorName()))
                 done({false, "No power management service answers.",
                       reason(reply.errorName(), {}, {}),
                       "Veltrane turns the computer off through systemd-logind, which does not "
                       "answer here. Turn the computer off yourself when the time is up.",
                       detail});
             else if (failed(reply))
                 done({false, "Veltrane could not learn whether it may turn this computer off.",
                       "the system did not say whether it may",
                       "Turn it off yourself if it is still on when the time is up.", detail});
             else if (answer == QLatin1String("challenge"))
                 done({false,
                       "This computer will not let Veltrane turn it off without an "
                       "administrator's password.",
                       "an administrator must allow it", Polkit, detail});
             else if (answer == QLatin1String("no"))
                 done({false, "This computer does not let Veltrane turn it off.",
                       "permission denied", Polkit, detail});
             else if (answer != QLatin1String("yes"))
                 done({false, "This computer cannot be turned off from here.", "not possible here",
                       "Turn it off yourself when the time is up.", detail});
             else
                 blockingHolder([done](const QString &who, const QString &why) {
                     if (who.isEmpty())
                         return done({});
                     const std::string holder = who.toStdString();
                     done(
                         {false,
                          "Turning off is held back by " + holder + " (" + why.toStdString() + ").",
                          "held back by " + holder,
                          "It can go ahead once " + holder + " is done or closed.",
                          "ListInhibitors: a block on shutdown by " + holder});
                 });
         });
}

void LogindRoad::request(Answered done)
{
    // logind's PowerOff has no force flag: it ends the session's programs itself, and only
    // inhibitor locks can hold it back. interactive=false: an unattended timer must never wait
    // on a password prompt; polkit decides at once.
    QDBusMessage powerOff = manager("PowerOff");
    powerOff << false;
    // After a while without an answer, say so; the request cannot be withdrawn, and the answer
    // that comes later is the one that counts.
    QPointer<QTimer> notice = new QTimer(&m_calls);
    notice->setSingleShot(true);
    QObject::connect(notice, &QTimer::timeout, notice, [done, notice] {
        notice->deleteLater();
        done({Outcome::Kind::Waiting, {}, "no answer from logind yet"});
    });
    notice->start(m_times.notice);
    call(QDBusConnection::SystemBus, powerOff, int(m_times.giveUp.count()),
         [this, done, notice](const QDBusMessage &reply) {
             delete notice.data();
             if (!failed(reply))
                 return done({});
             if (reply.errorName() !=
                 QLatin1String("org.freedesktop.login1.BlockedByInhibitorLock"))
                 return done({Outcome::Kind::Refused,
                              reason(reply.errorName(), reply.errorMessage(), {}), words(reply)});
             blockingHolder([done, reply](const QString &who, const QString &why) {
                 done({Outcome::Kind::Refused, reason(reply.errorName(), reply.errorMessage(), who),
                       words(reply) +
                           (who.isEmpty() ? "" : " (" + (who + ": " + why).toStdString() + ")")});
             });
         });
}

void LogindRoad::stayAwake(bool awake)
{
    m_awake = awake;
    if (!awake)
        release();
    else if (!m_asking && m_portalRequest.isEmpty() && !m_lock.isValid())
        inhibit();
}

void LogindRoad::inhibit()
{
    // The desktop's portal first: the desktop itself suspends on idle, and it listens to its
    // portal. Idle and suspend are inhibited there, and a suspend the user asks for is still
    // allowed. Without a portal, logind's idle lock: a block on "idle" holds off only the
    // automatic suspend, where a block on "sleep" would refuse the user's own.
    m_asking = true;
    QDBusMessage portal = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.portal.Desktop"),
        QStringLiteral("/org/freedesktop/portal/desktop"),
        QStringLiteral("org.freedesktop.portal.Inhibit"), QStringLiteral("Inhibit"));
    portal << QString() << uint(4 | 8) << QVariantMap{{QStringLiteral("reason"), QString(Why)}};
    call(QDBusConnection::SessionBus, portal, QuickMs, [this](const QDBusMessage &reply) {
        if (!failed(reply)) {
            m_portalRequest = reply.arguments().value(0).value<QDBusObjectPath>().path();
            return settle();
        }
        QDBusMessage lock = manager("Inhibit");
        lock << QStringLiteral("idle") << QStringLiteral("Veltrane") << QString(Why)
             << QStringLiteral("block");
        call(QDBusConnection::SystemBus, lock, QuickMs, [this](const QDBusMessage &reply) {
            if (failed(reply))
                log("could not keep the computer awake: " + words(reply));
            else
                m_lock = reply.arguments().value(0).value<QDBusUnixFileDescriptor>();
            settle();
        });
    });
}

void LogindRoad::settle()
{
    m_asking = false;
    if (!m_awake)
        release();
}

void LogindRoad::release()
{
    if (!m_portalRequest.isEmpty())
        bus(QDBusConnection::SessionBus)
            .asyncCall(QDBusMessage::createMethodCall(
                QStringLiteral("org.freedesktop.portal.Desktop"), m_portalRequest,
                QStringLiteral("org.freedesktop.portal.Request"), QStringLiteral("Close")));
    m_portalRequest.clear();
    m_lock = QDBusUnixFileDescriptor(); // logind lets go once the last copy is closed
}

} // namespace poweroff
