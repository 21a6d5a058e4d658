#include "poweroff/dryrunplatform.h"
#include "poweroff/logindplatform.h"
#include "poweroff/poweroff.h"
#include "recordingplatform.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QElapsedTimer>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>

#include <sstream>

namespace {

const QStringList NtRoad = {
    "GetVersionExA(148)",
    "GetCurrentProcess()",
    "OpenProcessToken(process, 40)",
    "LookupPrivilegeValueA(\"\", SeShutdownPrivilege)",
    "AdjustTokenPrivileges(token, false, count=1, luid=19:7, attributes=2, length=16, "
    "previous=0, returnLength=4)",
    "CloseHandle(token)",
    "ExitWindowsEx(5, 0)"};

const QString Logind = QStringLiteral("org.freedesktop.login1");

QStringList strings(const std::vector<std::string> &calls)
{
    QStringList list;
    for (const std::string &call : calls)
        list << QString::fromStdString(call);
    return list;
}

QString busId(const QDBusConnection &bus)
{
    return bus
        .call(QDBusMessage::createMethodCall("org.freedesktop.DBus", "/org/freedesktop/DBus",
                                             "org.freedesktop.DBus", "GetId"))
        .arguments()
        .value(0)
        .toString();
}

} // namespace

// Plays systemd-logind on the test's private bus: records each PowerOff and answers as told.
class FakeLogind : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.login1.Manager")

public:
    QList<bool> calls;
    QString answer; // empty: accept; "silent": never answer; otherwise "error name: message"

public slots:
    void PowerOff(bool interactive, const QDBusMessage &message)
    {
        calls << interactive;
        message.setDelayedReply(!answer.isEmpty());
        if (!answer.isEmpty() && answer != "silent")
            QDBusConnection(Logind).send(
                message.createErrorReply(answer.section(": ", 0, 0), answer.section(": ", 1)));
    }
};

class PowerOffTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void road_data();
    void road();
    void withoutForce();
    void dryRunAsksNothing();
    void logind_data();
    void logind();
    void logindAsTheProgramBuildsIt();

private:
    QProcess m_bus;
    FakeLogind m_logind;
};

void PowerOffTest::initTestCase()
{
    // A private bus for the logind road: "the system bus" is made that bus before anything
    // connects, and proved to be it before anything can ask for a power-off.
    m_bus.start(QStandardPaths::findExecutable("dbus-daemon"),
                {"--session", "--nofork", "--print-address=1"});
    if (!m_bus.waitForStarted() || !m_bus.waitForReadyRead())
        return; // the logind tests say so
    const QByteArray address = m_bus.readLine().trimmed();
    qputenv("DBUS_SYSTEM_BUS_ADDRESS", address);
    QDBusConnection bus = QDBusConnection::connectToBus(QString(address), Logind);
    QVERIFY(
        bus.registerObject("/org/freedesktop/login1", &m_logind, QDBusConnection::ExportAllSlots));
    QVERIFY(!busId(bus).isEmpty());
    if (busId(QDBusConnection::systemBus()) != busId(bus))
        qFatal("refusing to run: the system bus is not this test's private bus");
}

void PowerOffTest::cleanupTestCase()
{
    QDBusConnection::disconnectFromBus(Logind);
    m_bus.terminate();
    m_bus.waitForFinished(3000);
}

void PowerOffTest::road_data()
{
    QTest::addColumn<QString>("os");
    QTest::addColumn<int>("platformId");
    QTest::addColumn<QString>("failing"); // the call that fails
    QTest::addColumn<QStringList>("calls");
    QTest::addColumn<QString>("answer");
    const QStringList straight{"ExitWindowsEx(5, 0)"};
    QTest::newRow("NT: the privilege, then shutdown with force")
        << "Windows_NT" << 2 << QString() << NtRoad << "accepted";
    QTest::newRow("OS unset: straight to the request")
        << QString() << 2 << QString() << straight << "accepted";
    QTest::newRow("the same word in lower case")
        << "windows_nt" << 2 << QString() << straight << "accepted";
    QTest::newRow("the NT word on another platform: no privilege step")
        << "Windows_NT" << 1 << QString() << QStringList{NtRoad.front(), straight.front()}
        << "accepted";
    QTest::newRow("no token: nothing to adjust or close, the request still goes")
        << "Windows_NT" << 2 << "OpenProcessToken" << NtRoad.mid(0, 3) + straight << "accepted";
    QTest::newRow("an unknown privilege: the token is still closed")
        << "Windows_NT" << 2 << "LookupPrivilegeValueA" << NtRoad.mid(0, 4) + NtRoad.mid(5)
        << "accepted";
    QTest::newRow("the privilege not granted: the request still goes")
        << "Windows_NT" << 2 << "AdjustTokenPrivileges" << NtRoad << "accepted";
    QTest::newRow("a refusal in the system's words")
        << "Windows_NT" << 2 << "ExitWindowsEx" << NtRoad << "Access is denied";
}

void PowerOffTest::road()
{
    QFETCH(QString, os);
    QFETCH(int, platformId);
    QFETCH(QString, failing);
    QFETCH(QStringList, calls);
    QFETCH(QString, answer);
    RecordingPlatform platform;
    platform.os = os.toStdString();
    platform.platformId = static_cast<std::uint32_t>(platformId);
    platform.failing.insert(failing.toStdString());
    QStringList answers;
    poweroff::PowerOffNow(platform, [&](const std::optional<std::string> &error) {
        answers << QString::fromStdString(error.value_or("accepted"));
    });
    QCOMPARE(strings(platform.calls), calls);
    QCOMPARE(answers, QStringList{answer});
}

void PowerOffTest::withoutForce()
{
    RecordingPlatform platform;
    poweroff::ShutDownNT(platform, false, [](const std::optional<std::string> &) {});
    QCOMPARE(strings(platform.calls), NtRoad.mid(0, 6) << "ExitWindowsEx(1, 0)");
}

void PowerOffTest::dryRunAsksNothing()
{
    // Everything before the request runs; the request itself becomes one line.
    RecordingPlatform system;
    system.os = "Windows_NT";
    std::ostringstream out;
    poweroff::DryRunPlatform dryRun(system, out);
    QStringList answers;
    const auto answered = [&](const std::optional<std::string> &error) {
        answers << QString::fromStdString(error.value_or("accepted"));
    };
    poweroff::PowerOffNow(dryRun, answered);
    QCOMPARE(strings(system.calls), NtRoad.mid(0, 6));
    poweroff::ShutDownNT(dryRun, false, answered);
    QCOMPARE(answers, QStringList({"accepted", "accepted"}));
    QCOMPARE(QString::fromStdString(out.str()),
             QStringLiteral("dry run: power-off requested (flags 5)\n"
                            "dry run: power-off requested (flags 1)\n"));
}

void PowerOffTest::logind_data()
{
    QTest::addColumn<QString>("answer"); // what logind does; "absent": it is not on the bus
    QTest::addColumn<QString>("said");   // how the road's answer starts
    const char *const rows[][3] = {
        {"accepted", "", "accepted"},
        {"access denied", "org.freedesktop.DBus.Error.AccessDenied: Permission denied", ""},
        {"a block inhibitor",
         "org.freedesktop.login1.BlockedByInhibitorLock: Operation denied due to active block "
         "inhibitor",
         ""},
        {"no logind", "absent", "org.freedesktop.DBus.Error.ServiceUnknown: "},
        {"no answer in time", "silent", "org.freedesktop.DBus.Error.NoReply: "},
    };
    for (const auto &[name, answer, said] : rows)
        QTest::newRow(name) << QString(answer) << QString(*said ? said : answer);
}

void PowerOffTest::logind()
{
    QFETCH(QString, answer);
    QFETCH(QString, said);
    if (m_bus.state() != QProcess::Running)
        QSKIP("no private bus: dbus-daemon is not installed (package dbus-daemon)");
    m_logind.calls.clear();
    m_logind.answer = answer;
    QDBusConnection bus(Logind);
    answer == "absent" ? bus.unregisterService(Logind) : bus.registerService(Logind);
    poweroff::LogindPlatform road(300);
    QString answered;
    QElapsedTimer clock;
    clock.start();
    road.ExitWindowsEx(5, 0, [&](const std::optional<std::string> &error) {
        answered = QString::fromStdString(error.value_or("accepted"));
    });
    QVERIFY(clock.elapsed() < 200); // the window never waits for the answer
    QTRY_VERIFY_WITH_TIMEOUT(!answered.isEmpty(), 5000);
    QVERIFY2(answered.startsWith(said), qPrintable(answered));
    // Asked once, and never for a password: nobody may be there to type it.
    QCOMPARE(m_logind.calls, answer == "absent" ? QList<bool>() : QList<bool>{false});
}

void PowerOffTest::logindAsTheProgramBuildsIt()
{
    // It gives logind 10 s to answer, and takes no Windows privilege step.
    poweroff::LogindPlatform road;
    QCOMPARE(road.replyTimeoutMs(), 10000);
    QVERIFY(!poweroff::IsWindowsNT(road));
}

QTEST_GUILESS_MAIN(PowerOffTest)
#include "tst_poweroff.moc"
