#include "logindroad.h"

#include "buserrors.h"
#include "log/log.h"

#include <QDBusArgument>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCall>
#include <QPointer>
#include <QTimer>

#include <unistd.h>

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
    return ui::qt::noSuchService(errorName) ||
           errorName == QLatin1String("org.freedesktop.DBus.Error.Disconnected") ||
           errorName == QLatin1String("org.freedesktop.DBus.Error.NoServer");
}

const char Polkit[] = "An administrator can allow it (polkit's org.freedesktop.login1.power-off, "
                      "or power-off-multiple-sessions while others are logged in), or you can "
                      "turn the computer off yourself when the time is up.";

const char OutsideAdvice[] =
    "polkit lets only the programs of the desktop session in front turn the computer off. Start "
    "Veltrane from the desktop, or hand the countdown to the Veltrane running there (veltrane "
    "--in with the desktop's DISPLAY and DBUS_SESSION_BUS_ADDRESS).";

std::string heldBackAdvice(const std::string &holder)
{
    return "It can go ahead once " + holder +
           " is done or closed, or an administrator can allow "
           "it anyway (polkit's org.freedesktop.login1.power-off-ignore-inhibit).";
}

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

void LogindRoad::findCause(std::function<void(const Cause &)> then)
{
    m_bus.call(QDBusConnection::SystemBus, manager("ListInhibitors"), QuickMs,
               [this, then = std::move(then)](const QDBusMessage &reply) {
                   Cause cause;
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
                           if (cause.holder.isEmpty() && mode == QLatin1String("block") &&
                               user != getuid() &&
                               what.split(u':').contains(QLatin1String("shutdown"))) {
                               cause.holder = who;
                               cause.why = why;
                           }
                       }
                       list.endArray();
                   }
                   if (!cause.holder.isEmpty())
                       return then(cause);
                   // 0: the caller's own session.
                   QDBusMessage session = manager("GetSessionByPID");
                   session << 0u;
                   m_bus.call(QDBusConnection::SystemBus, session, QuickMs,
                              [cause, then](const QDBusMessage &reply) mutable {
                                  cause.outsideSession =
                                      reply.errorName() ==
                                      QLatin1String("org.freedesktop.login1.NoSessionForPID");
                                  then(cause);
                              });
               });
}

void LogindRoad::check(Checked done)
{
    m_bus.call(
        QDBusConnection::SystemBus, manager("CanPowerOff"), QuickMs,
        [this, done = std::move(done)](const QDBusMessage &reply) {
            const QString answer = reply.arguments().value(0).toString();
            const std::string detail =
                failed(reply) ? words(reply) : "CanPowerOff: " + answer.toStdString();
            if (failed(reply) && unreachable(reply.errorName()))
                return done({false, "No power management service answers.",
                             reason(reply.errorName(), {}, {}),
                             "Veltrane turns the computer off through systemd-logind, which does "
                             "not answer here. Turn the computer off yourself when the time is "
                             "up.",
                             detail});
            if (failed(reply))
                return done(
                    {false, "Veltrane could not learn whether it may turn this computer off.",
                     "the system did not say whether it may",
                     "Turn it off yourself if it is still on when the time is up.", detail});
            // A block lock of the caller's own user does not hold logind back, and one of
            // another user's that an administrator lets it override does not either: "yes"
            // is the whole truth.
            if (answer == QLatin1String("yes"))
                return done({});
            if (answer != QLatin1String("challenge") && answer != QLatin1String("no"))
                return done({false, "This computer cannot be turned off from here.",
                             "not possible here", "Turn it off yourself when the time is up.",
                             detail});
            // logind turns another user's block lock into a question for an administrator:
            // the lock is the cause to name, since it is what the user can wait for or close.
            findCause([done, answer, detail](const Cause &cause) {
                if (!cause.holder.isEmpty()) {
                    const std::string holder = cause.holder.toStdString();
                    return done({false,
                                 "Turning off is held back by " + holder + " (" +
                                     cause.why.toStdString() + ").",
                                 "held back by " + holder, heldBackAdvice(holder),
                                 detail + "; a block on shutdown by " + holder +
                                     ", another user's program"});
                }
                if (answer == QLatin1String("no"))
                    return done({false, "This computer does not let Veltrane turn it off.",
                                 "permission denied", Polkit, detail});
                if (cause.outsideSession)
                    return done({false,
                                 "Veltrane was started outside the desktop session, so this "
                                 "computer will not let it turn it off without an "
                                 "administrator's password.",
                                 "started outside the desktop session", OutsideAdvice,
                                 detail + "; no login session for the program"});
                done({false,
                      "This computer will not let Veltrane turn it off without an "
                      "administrator's password.",
                      "an administrator must allow it", Polkit, detail});
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
    QPointer<QTimer> notice = new QTimer(m_bus.awaited());
    notice->setSingleShot(true);
    QObject::connect(notice, &QTimer::timeout, notice, [done, notice] {
        notice->deleteLater();
        done({Outcome::Kind::Waiting, {}, "no answer from logind yet"});
    });
    notice->start(m_times.notice);
    m_bus.call(QDBusConnection::SystemBus, powerOff, int(m_times.giveUp.count()),
               [this, done, notice](const QDBusMessage &reply) {
                   delete notice.data();
                   if (!failed(reply))
                       return done({});
                   const QString error = reply.errorName();
                   if (error != QLatin1String("org.freedesktop.login1.BlockedByInhibitorLock") &&
                       error != QLatin1String(
                                    "org.freedesktop.DBus.Error.InteractiveAuthorizationRequired"))
                       return done({Outcome::Kind::Refused, reason(error, reply.errorMessage(), {}),
                                    words(reply)});
                   // Both are what another user's block lock, or a start outside any session, earn.
                   findCause([done, reply, error](const Cause &cause) {
                       const std::string detail =
                           words(reply) +
                           (cause.holder.isEmpty()
                                ? ""
                                : " (" + (cause.holder + ": " + cause.why).toStdString() + ")");
                       if (cause.holder.isEmpty() && cause.outsideSession)
                           return done({Outcome::Kind::Refused,
                                        "started outside the desktop session", detail});
                       const bool held =
                           !cause.holder.isEmpty() ||
                           error == QLatin1String("org.freedesktop.login1.BlockedByInhibitorLock");
                       done({Outcome::Kind::Refused,
                             held ? reason("org.freedesktop.login1.BlockedByInhibitorLock", {},
                                           cause.holder)
                                  : reason(error, reply.errorMessage(), {}),
                             detail});
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
    m_bus.call(QDBusConnection::SessionBus, portal, QuickMs, [this](const QDBusMessage &reply) {
        if (!failed(reply)) {
            m_portalRequest = reply.arguments().value(0).value<QDBusObjectPath>().path();
            return settle();
        }
        QDBusMessage lock = manager("Inhibit");
        lock << QStringLiteral("idle") << QStringLiteral("Veltrane") << QString(Why)
             << QStringLiteral("block");
        m_bus.call(QDBusConnection::SystemBus, lock, QuickMs, [this](const QDBusMessage &reply) {
            if (failed(reply))
                logging::log("could not keep the computer awake: " + words(reply));
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
        m_bus.bus(QDBusConnection::SessionBus)
            .asyncCall(QDBusMessage::createMethodCall(
                QStringLiteral("org.freedesktop.portal.Desktop"), m_portalRequest,
                QStringLiteral("org.freedesktop.portal.Request"), QStringLiteral("Close")));
    m_portalRequest.clear();
    m_lock = QDBusUnixFileDescriptor(); // logind lets go once the last copy is closed
}

} // namespace poweroff
