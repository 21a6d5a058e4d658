#include "poweroff/logindplatform.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

#include <optional>
#include <string>

namespace {

const char ConnectionName[] = "fake-logind";

} // namespace

// Plays systemd-logind on a private bus: records each PowerOff and answers as told.
class FakeLogind : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.login1.Manager")

public:
    QList<bool> calls;
    QString errorName; // empty: succeed
    QString errorMessage;
    bool silent = false; // never answer

public slots:
    void PowerOff(bool interactive, const QDBusMessage &message)
    {
        calls << interactive;
        if (silent) {
            message.setDelayedReply(true);
            m_unanswered << message; // kept, never answered
        } else if (!errorName.isEmpty()) {
            message.setDelayedReply(true);
            QDBusConnection(QLatin1String(ConnectionName))
                .send(message.createErrorReply(errorName, errorMessage));
        }
    }

private:
    QList<QDBusMessage> m_unanswered;
};

class LogindRoadTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void noLogindOnTheBus();
    void powerOffArrivesOnce();
    void refusals_data();
    void refusals();
    void silenceTimesOutWithoutBlocking();
    void versionQueryIsNotNt();

private:
    std::optional<std::string> request(poweroff::LogindPlatform &platform);
    static QString busId(const QDBusConnection &connection);

    QProcess m_daemon;
    QByteArray m_address;
    FakeLogind m_logind;
};

void LogindRoadTest::initTestCase()
{
    const QString daemon = QStandardPaths::findExecutable(QStringLiteral("dbus-daemon"));
    if (daemon.isEmpty())
        QSKIP("dbus-daemon is not installed (package dbus-daemon)");
    m_daemon.start(daemon, {"--session", "--nofork", "--print-address=1"});
    QVERIFY(m_daemon.waitForStarted());
    QTRY_VERIFY(m_daemon.canReadLine());
    m_address = m_daemon.readLine().trimmed();
    QVERIFY(!m_address.isEmpty());
    // The road talks to "the system bus": make that our private bus before anything connects,
    // and refuse to go on if it is anything else.
    qputenv("DBUS_SYSTEM_BUS_ADDRESS", m_address);
    QCOMPARE(qgetenv("DBUS_SYSTEM_BUS_ADDRESS"), m_address);

    QDBusConnection logind =
        QDBusConnection::connectToBus(QString::fromUtf8(m_address), QLatin1String(ConnectionName));
    QVERIFY(logind.isConnected());
    QVERIFY(logind.registerObject(QStringLiteral("/org/freedesktop/login1"), &m_logind,
                                  QDBusConnection::ExportAllSlots));

    // Proof, not trust: "the system bus" the road will use must be this very bus. Every bus has
    // an id of its own; if they differ, stop before anything can ask for a power-off.
    const QString ours = busId(logind);
    QVERIFY(!ours.isEmpty());
    if (busId(QDBusConnection::systemBus()) != ours)
        QFAIL("refusing to run: the system bus is not this test's private bus");
}

QString LogindRoadTest::busId(const QDBusConnection &connection)
{
    const QDBusMessage reply = connection.call(QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("GetId")));
    return reply.type() == QDBusMessage::ReplyMessage ? reply.arguments().value(0).toString()
                                                      : QString();
}

void LogindRoadTest::cleanupTestCase()
{
    QDBusConnection::disconnectFromBus(QLatin1String(ConnectionName));
    if (m_daemon.state() != QProcess::NotRunning) {
        m_daemon.terminate();
        m_daemon.waitForFinished(3000);
    }
}

void LogindRoadTest::init()
{
    QCOMPARE(qgetenv("DBUS_SYSTEM_BUS_ADDRESS"), m_address);
    m_logind.calls.clear();
    m_logind.errorName.clear();
    m_logind.silent = false;
    QDBusConnection(QLatin1String(ConnectionName))
        .registerService(QStringLiteral("org.freedesktop.login1"));
}

std::optional<std::string> LogindRoadTest::request(poweroff::LogindPlatform &platform)
{
    bool answered = false;
    std::optional<std::string> outcome;
    platform.ExitWindowsEx(5, 0, [&](const std::optional<std::string> &error) {
        answered = true;
        outcome = error;
    });
    if (!QTest::qWaitFor([&] { return answered; }, 5000))
        return "(no answer)";
    return outcome;
}

void LogindRoadTest::noLogindOnTheBus()
{
    QDBusConnection(QLatin1String(ConnectionName))
        .unregisterService(QStringLiteral("org.freedesktop.login1"));
    poweroff::LogindPlatform platform;
    const auto error = request(platform);
    QVERIFY(error);
    QVERIFY2(error->find("org.freedesktop.DBus.Error.ServiceUnknown") != std::string::npos,
             error->c_str());
}

void LogindRoadTest::powerOffArrivesOnce()
{
    poweroff::LogindPlatform platform;
    QCOMPARE(request(platform), std::nullopt);
    QCOMPARE(m_logind.calls, QList<bool>{false}); // never waits for a password prompt
}

void LogindRoadTest::refusals_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("message");
    QTest::newRow("access denied") << "org.freedesktop.DBus.Error.AccessDenied"
                                   << "Permission denied";
    QTest::newRow("authorisation needed")
        << "org.freedesktop.DBus.Error.InteractiveAuthorizationRequired"
        << "Interactive authentication required.";
    QTest::newRow("inhibited") << "org.freedesktop.login1.BlockedByInhibitorLock"
                               << "Operation inhibited by \"backup\"";
}

void LogindRoadTest::refusals()
{
    QFETCH(QString, name);
    QFETCH(QString, message);
    m_logind.errorName = name;
    m_logind.errorMessage = message;
    poweroff::LogindPlatform platform;
    const auto error = request(platform);
    QCOMPARE(QString::fromStdString(error.value_or("(success)")), name + ": " + message);
    QCOMPARE(m_logind.calls.size(), 1);
}

void LogindRoadTest::silenceTimesOutWithoutBlocking()
{
    m_logind.silent = true;
    poweroff::LogindPlatform platform(300);
    bool answered = false;
    std::optional<std::string> outcome;
    QElapsedTimer clock;
    clock.start();
    platform.ExitWindowsEx(5, 0, [&](const std::optional<std::string> &error) {
        answered = true;
        outcome = error;
    });
    QVERIFY(clock.elapsed() < 200); // the request returned at once
    QVERIFY(!answered);
    QTRY_VERIFY_WITH_TIMEOUT(answered, 5000);
    QVERIFY(outcome);
    QVERIFY2(outcome->find("org.freedesktop.DBus.Error.NoReply") != std::string::npos,
             outcome->c_str());
}

void LogindRoadTest::versionQueryIsNotNt()
{
    poweroff::LogindPlatform platform;
    poweroff::OsVersionInfo info;
    info.dwOSVersionInfoSize = sizeof info;
    QVERIFY(platform.GetVersionExA(info));
    QVERIFY(info.dwPlatformId != poweroff::VerPlatformWin32Nt);
}

QTEST_GUILESS_MAIN(LogindRoadTest)
#include "tst_logindroad.moc"
