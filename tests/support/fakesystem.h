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

// Plays systemd-logind 252 and Debian's polkit defaults: CanPowerOff and PowerOff decide by the
// rules the real ones follow (another user's session, a block lock of another user than the
// caller, whether the caller is in the active session), and each call is recorded.
class FakeLogind : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.login1.Manager")

public:
    QStringList calls;
    // To PowerOff in place of what the rules decide: "silent" never answers, else
    // "Error.Name: message".
    QString answer;
    int delayMs = 0;
    QList<Inhibitor> inhibitors;
    bool inSession = true;      // the caller is a program of the active local session
    bool otherSessions = false; // another user is logged in
    bool possible = true;       // false: CanPowerOff says "na"
    // polkit's answers where a rule changes the defaults: "power-off-multiple-sessions" to
    // "challenge", say.
    QMap<QString, QString> rules;
    int locks = 0; // inhibitor locks still open

public slots:
    void PowerOff(bool interactive, const QDBusMessage &message);
    QString CanPowerOff(const QDBusMessage &message);
    QList<Inhibitor> ListInhibitors();
    QDBusObjectPath GetSessionByPID(uint pid, const QDBusMessage &message);
    QDBusUnixFileDescriptor Inhibit(const QString &what, const QString &who, const QString &why,
                                    const QString &mode, const QDBusMessage &message);

private:
    // "yes", "challenge" or "no", as logind combines polkit's answers for the caller.
    QString decide(const QDBusMessage &message) const;
    QString polkit(const QString &action) const;
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
    // The name GetServerInformation gives. As "gnome-shell" does, a replaced notification then
    // loses its actions; a click on it still gives "default".
    QString server = QStringLiteral("Stand-in");
    // As if the user picked an action of the latest notification, or closed it.
    void invoke(const QString &action);
    void dismiss() { closed(last, 2); }

public slots:
    uint Notify(const QString &application, uint replaces, const QString &icon,
                const QString &summary, const QString &body, const QStringList &actions,
                const QVariantMap &hints, int timeout);
    void CloseNotification(uint id);
    QStringList GetCapabilities() { return {"actions", "body"}; }
    QString GetServerInformation(QString &vendor, QString &version, QString &protocol);

private:
    void closed(uint id, uint reason);

    QStringList m_actions; // the latest one's
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
