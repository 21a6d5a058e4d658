#pragma once

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusUnixFileDescriptor>
#include <QObject>
#include <QProcess>
#include <QTemporaryDir>

// One entry of logind's ListInhibitors: a(ssssuu).
struct Inhibitor {
    QString what, who, why, mode;
    uint user = 0, process = 0;
};
Q_DECLARE_METATYPE(Inhibitor)
QDBusArgument &operator<<(QDBusArgument &out, const Inhibitor &in);
const QDBusArgument &operator>>(const QDBusArgument &in, Inhibitor &out);

// Plays systemd-logind: records each call and answers as told.
class FakeLogind : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.login1.Manager")

public:
    QStringList calls;
    QString answer; // to PowerOff: empty accepts, "silent" never answers, or "Error.Name: message"
    int delayMs = 0;
    QString canPowerOff = "yes";
    QList<Inhibitor> inhibitors;
    int locks = 0; // inhibitor locks still open

public slots:
    void PowerOff(bool interactive, const QDBusMessage &message);
    QString CanPowerOff();
    QList<Inhibitor> ListInhibitors();
    QDBusUnixFileDescriptor Inhibit(const QString &what, const QString &who, const QString &why,
                                    const QString &mode);
};

// Plays the desktop's portal: each inhibition is a request object, let go by its Close(). The
// one object stands in for both.
class FakePortal : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Inhibit")

public:
    QStringList calls;
    int inhibitions = 0; // still open

public slots:
    QDBusObjectPath Inhibit(const QString &window, uint flags, const QVariantMap &options);
    void Close() { --inhibitions; }
};

// Plays the desktop's notification service: records what it is asked to show.
class FakeNotifications : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.Notifications")

public:
    QStringList calls; // "Notify(replaces, urgency) summary [actions]", "CloseNotification(id)"
    uint last = 0;     // the number given to the latest
    // As if the user picked an action of the latest notification.
    void invoke(const QString &action);

public slots:
    uint Notify(const QString &application, uint replaces, const QString &icon,
                const QString &summary, const QString &body, const QStringList &actions,
                const QVariantMap &hints, int timeout);
    void CloseNotification(uint id) { calls << QStringLiteral("CloseNotification(%1)").arg(id); }
    QStringList GetCapabilities() { return {"actions", "body"}; }
};

// A bus of the test's own, with logind, the portal and the notifications played on it. Its address
// is fixed, so that it can be restarted under a program's feet.
class PrivateBus final {
public:
    PrivateBus();
    ~PrivateBus();

    bool start(); // false without dbus-daemon
    void stop();
    bool isRunning() const { return m_daemon.state() == QProcess::Running; }
    QByteArray address() const;
    static QDBusConnection standIns();
    // Whether a service is on the bus: org.freedesktop.login1, org.freedesktop.portal.Desktop or
    // org.freedesktop.Notifications.
    void offer(const QString &service, bool offered);

    FakeLogind logind;
    FakePortal portal;
    FakeNotifications notifications;

private:
    QTemporaryDir m_dir;
    QProcess m_daemon;
};
