#include "fakesystem.h"

#include <QDBusConnectionInterface>
#include <QDBusMetaType>
#include <QFile>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <QTimer>

#include <algorithm>

#include <unistd.h>

namespace {

const QString Connection = QStringLiteral("stand-ins");

uint callerUid(const QDBusMessage &message)
{
    return QDBusConnection(Connection).interface()->serviceUid(message.service()).value();
}

} // namespace

QDBusArgument &operator<<(QDBusArgument &out, const Inhibitor &in)
{
    out.beginStructure();
    out << in.what << in.who << in.why << in.mode << in.user << in.process;
    out.endStructure();
    return out;
}

const QDBusArgument &operator>>(const QDBusArgument &in, Inhibitor &out)
{
    in.beginStructure();
    in >> out.what >> out.who >> out.why >> out.mode >> out.user >> out.process;
    in.endStructure();
    return in;
}

QString FakeLogind::polkit(const QString &action) const
{
    if (rules.contains(action))
        return rules.value(action);
    // org.freedesktop.login1.policy: an active local session may power off, also while others
    // are logged in; overriding a block lock takes an administrator; anyone else must ask one.
    return inSession && action != "power-off-ignore-inhibit" ? "yes" : "challenge";
}

QString FakeLogind::decide(const QDBusMessage &message) const
{
    // Locks held by the caller's own user are passed over.
    const uint caller = callerUid(message);
    const bool blocked = std::any_of(inhibitors.begin(), inhibitors.end(), [caller](auto &lock) {
        return lock.mode == "block" && lock.user != caller &&
               lock.what.split(':').contains("shutdown");
    });
    QString result;
    if (otherSessions)
        result = polkit("power-off-multiple-sessions");
    if (blocked) {
        const QString ignore = polkit("power-off-ignore-inhibit");
        if (ignore == "no")
            result = "no";
        else if (ignore == "challenge" && (result.isEmpty() || result == "yes"))
            result = "challenge";
        else if (result.isEmpty())
            result = "yes";
    }
    return otherSessions || blocked ? result : polkit("power-off");
}

void FakeLogind::PowerOff(bool interactive, const QDBusMessage &message)
{
    calls << QStringLiteral("PowerOff(%1)").arg(interactive ? "true" : "false");
    QString error = answer;
    if (error.isEmpty()) {
        const QString decided = decide(message);
        if (decided == "challenge")
            error = "org.freedesktop.DBus.Error.InteractiveAuthorizationRequired: Interactive "
                    "authentication required.";
        else if (decided == "no")
            error = "org.freedesktop.DBus.Error.AccessDenied: Permission denied";
    }
    message.setDelayedReply(true);
    const QDBusMessage reply = error.isEmpty() ? message.createReply()
                                               : message.createErrorReply(error.section(": ", 0, 0),
                                                                          error.section(": ", 1));
    if (error != "silent")
        QTimer::singleShot(delayMs, this, [reply] { PrivateBus::standIns().send(reply); });
}

QString FakeLogind::CanPowerOff(const QDBusMessage &message)
{
    calls << "CanPowerOff()";
    return possible ? decide(message) : "na";
}

QList<Inhibitor> FakeLogind::ListInhibitors()
{
    calls << "ListInhibitors()";
    return inhibitors;
}

QDBusObjectPath FakeLogind::GetSessionByPID(uint pid, const QDBusMessage &message)
{
    calls << QStringLiteral("GetSessionByPID(%1)").arg(pid);
    if (!inSession) {
        message.setDelayedReply(true);
        PrivateBus::standIns().send(
            message.createErrorReply("org.freedesktop.login1.NoSessionForPID",
                                     "Caller does not belong to any known session"));
    }
    return QDBusObjectPath("/org/freedesktop/login1/session/_31");
}

QDBusUnixFileDescriptor FakeLogind::Inhibit(const QString &what, const QString &who,
                                            const QString &why, const QString &mode,
                                            const QDBusMessage &message)
{
    calls << QStringLiteral("Inhibit(%1, %2, %3, %4)").arg(what, who, why, mode);
    // The lock is the write end of a pipe: it is let go when the reader sees its end. Until then
    // it is listed, with its holder's user, as logind lists it.
    int ends[2];
    if (pipe(ends) != 0)
        return {};
    ++locks;
    const Inhibitor lock{what, who, why, mode, callerUid(message), 0};
    inhibitors << lock;
    auto *notifier = new QSocketNotifier(ends[0], QSocketNotifier::Read, this);
    connect(notifier, &QSocketNotifier::activated, this, [this, notifier, ends, lock] {
        char byte;
        if (read(ends[0], &byte, 1) > 0)
            return;
        --locks;
        inhibitors.removeIf([&lock](const Inhibitor &held) {
            return held.who == lock.who && held.what == lock.what && held.user == lock.user;
        });
        notifier->setEnabled(false);
        notifier->deleteLater();
        close(ends[0]);
    });
    const QDBusUnixFileDescriptor held(ends[1]);
    close(ends[1]);
    return held;
}

QDBusObjectPath FakePortal::Inhibit(const QString &window, uint flags, const QVariantMap &options)
{
    calls << QStringLiteral("Inhibit(%1, %2, %3)")
                 .arg(window, QString::number(flags), options.value("reason").toString());
    ++inhibitions;
    return QDBusObjectPath("/org/freedesktop/portal/desktop/request/veltrane");
}

uint FakeNotifications::Notify(const QString &, uint replaces, const QString &,
                               const QString &summary, const QString &, const QStringList &actions,
                               const QVariantMap &hints, int)
{
    calls << QStringLiteral("Notify(%1, %2) %3 [%4]")
                 .arg(replaces)
                 .arg(hints.value("urgency").toInt())
                 .arg(summary, actions.join(' '));
    m_actions = replaces && server == "gnome-shell" ? QStringList{} : actions;
    return last = replaces ? replaces : last + 1;
}

QString FakeNotifications::GetServerInformation(QString &vendor, QString &version,
                                                QString &protocol)
{
    vendor = "Veltrane's tests";
    version = "1";
    protocol = "1.2";
    return server;
}

void FakeNotifications::CloseNotification(uint id)
{
    calls << QStringLiteral("CloseNotification(%1)").arg(id);
    closed(id, 3); // as the services do: "closed by a call to CloseNotification"
}

void FakeNotifications::closed(uint id, uint reason)
{
    QDBusMessage signal = QDBusMessage::createSignal(
        "/org/freedesktop/Notifications", "org.freedesktop.Notifications", "NotificationClosed");
    signal << id << reason;
    PrivateBus::standIns().send(signal);
}

void FakeNotifications::invoke(const QString &action)
{
    if (action != "default" && !m_actions.contains(action))
        return;
    QDBusMessage signal = QDBusMessage::createSignal(
        "/org/freedesktop/Notifications", "org.freedesktop.Notifications", "ActionInvoked");
    signal << last << action;
    PrivateBus::standIns().send(signal);
}

PrivateBus::PrivateBus()
{
    qDBusRegisterMetaType<Inhibitor>();
    qDBusRegisterMetaType<QList<Inhibitor>>();
}

PrivateBus::~PrivateBus()
{
    stop();
}

QByteArray PrivateBus::address() const
{
    return "unix:path=" + m_dir.filePath("bus").toUtf8();
}

QDBusConnection PrivateBus::standIns()
{
    return QDBusConnection(Connection);
}

bool PrivateBus::start()
{
    // The session bus's rules without its services: nothing real is ever started on demand. Any
    // user may connect: a program may run as another user beside the test.
    QFile config(m_dir.filePath("bus.conf"));
    if (!config.open(QIODevice::WriteOnly) ||
        !config.write("<busconfig><type>session</type><listen>" + address() +
                      "</listen><policy context=\"default\"><allow user=\"*\"/>"
                      "<allow send_destination=\"*\" eavesdrop=\"true\"/>"
                      "<allow eavesdrop=\"true\"/><allow own=\"*\"/></policy></busconfig>"))
        return false;
    config.close();
    m_daemon.start(QStandardPaths::findExecutable("dbus-daemon"),
                   {"--config-file=" + config.fileName(), "--nofork", "--print-address=1"});
    if (!m_daemon.waitForStarted() || !m_daemon.waitForReadyRead())
        return false;
    QDBusConnection::disconnectFromBus(Connection);
    QDBusConnection bus = QDBusConnection::connectToBus(QString(address()), Connection);
    return bus.registerObject("/org/freedesktop/login1", &logind,
                              QDBusConnection::ExportAllSlots) &&
           bus.registerObject("/org/freedesktop/portal/desktop", &portal,
                              QDBusConnection::ExportAllSlots) &&
           bus.registerObject("/org/freedesktop/portal/desktop/request/veltrane",
                              "org.freedesktop.portal.Request", &portal,
                              QDBusConnection::ExportAllSlots) &&
           bus.registerObject("/org/freedesktop/Notifications", &notifications,
                              QDBusConnection::ExportAllSlots) &&
           bus.registerService("org.freedesktop.Notifications") &&
           bus.registerService("org.freedesktop.login1") &&
           bus.registerService("org.freedesktop.portal.Desktop");
}

void PrivateBus::stop()
{
    QDBusConnection::disconnectFromBus(Connection);
    m_daemon.terminate();
    m_daemon.waitForFinished(3000);
}

void PrivateBus::offer(const QString &service, bool offered)
{
    offered ? standIns().registerService(service) : standIns().unregisterService(service);
}
