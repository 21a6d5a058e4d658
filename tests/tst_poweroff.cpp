#include "poweroff/dryrunplatform.h"
#include "poweroff/poweroff.h"
#include "recordingplatform.h"

#include <QTest>

#include <sstream>

namespace {

const char *const NtRoad[] = {
    "GetVersionExA(148)",
    "GetCurrentProcess()",
    "OpenProcessToken(process, 40)",
    "LookupPrivilegeValueA(\"\", SeShutdownPrivilege)",
    "AdjustTokenPrivileges(token, false, count=1, luid=19:7, attributes=2, length=16, "
    "previous=0, returnLength=4)",
    "CloseHandle(token)",
    "ExitWindowsEx(5, 0)"};

QStringList strings(const std::vector<std::string> &calls)
{
    QStringList list;
    for (const std::string &call : calls)
        list << QString::fromStdString(call);
    return list;
}

} // namespace

class PowerOffTest : public QObject {
    Q_OBJECT

private slots:
    void road_data();
    void road();
    void forceFalseAsksWithoutForce();
    void failures_data();
    void failures();
    void dryRunAsksNothing();
};

void PowerOffTest::road_data()
{
    QTest::addColumn<QString>("os"); // "(unset)" leaves it out
    QTest::addColumn<int>("platformId");
    QTest::addColumn<QStringList>("calls");
    QStringList nt;
    for (const char *call : NtRoad)
        nt << call;
    const QStringList straight{"ExitWindowsEx(5, 0)"};
    QTest::newRow("NT: privilege, then shutdown with force") << "Windows_NT" << 2 << nt;
    QTest::newRow("OS unset: straight to the request") << "(unset)" << 2 << straight;
    QTest::newRow("the same word in lower case") << "windows_nt" << 2 << straight;
    QTest::newRow("another system") << "Linux" << 2 << straight;
    QTest::newRow("NT word, other platform: no privilege step")
        << "Windows_NT" << 1 << QStringList{"GetVersionExA(148)", "ExitWindowsEx(5, 0)"};
}

void PowerOffTest::road()
{
    QFETCH(QString, os);
    QFETCH(int, platformId);
    QFETCH(QStringList, calls);
    RecordingPlatform platform;
    if (os != "(unset)")
        platform.environment["OS"] = os.toStdString();
    platform.platformId = static_cast<std::uint32_t>(platformId);
    int answers = 0;
    poweroff::PowerOffNow(platform, [&](const std::optional<std::string> &error) {
        QVERIFY(!error);
        ++answers;
    });
    QCOMPARE(strings(platform.calls), calls);
    QCOMPARE(answers, 1);
}

void PowerOffTest::forceFalseAsksWithoutForce()
{
    RecordingPlatform platform;
    poweroff::ShutDownNT(platform, false, [](const std::optional<std::string> &) {});
    QCOMPARE(QString::fromStdString(platform.calls.back()), QStringLiteral("ExitWindowsEx(1, 0)"));
    QCOMPARE(platform.calls.size(), std::size(NtRoad));
}

void PowerOffTest::failures_data()
{
    QTest::addColumn<QString>("failing");
    QTest::addColumn<QStringList>("calls");
    QTest::addColumn<QString>("reported");
    QStringList nt;
    for (const char *call : NtRoad)
        nt << call;
    QTest::newRow("no token: nothing to adjust or close, the request still goes")
        << "OpenProcessToken" << (nt.mid(0, 3) << nt.last()) << "";
    QTest::newRow("unknown privilege: the token is still closed")
        << "LookupPrivilegeValueA" << (nt.mid(0, 4) << nt.mid(5)) << "";
    QTest::newRow("privilege not granted: the request still goes")
        << "AdjustTokenPrivileges" << nt << "";
    QTest::newRow("a refused request is reported in the system's words")
        << "ExitWindowsEx" << nt << "Access is denied";
}

void PowerOffTest::failures()
{
    QFETCH(QString, failing);
    QFETCH(QStringList, calls);
    QFETCH(QString, reported);
    RecordingPlatform platform;
    platform.environment["OS"] = "Windows_NT";
    platform.failing.insert(failing.toStdString());
    std::optional<std::string> error;
    poweroff::PowerOffNow(platform, [&](const std::optional<std::string> &e) { error = e; });
    QCOMPARE(strings(platform.calls), calls);
    QCOMPARE(QString::fromStdString(error.value_or("")), reported);
}

void PowerOffTest::dryRunAsksNothing()
{
    // Everything before the request runs; the request itself becomes one line.
    RecordingPlatform system;
    system.environment["OS"] = "Windows_NT";
    std::ostringstream out;
    poweroff::DryRunPlatform dryRun(system, out);
    bool answered = false;
    poweroff::PowerOffNow(dryRun,
                          [&](const std::optional<std::string> &error) { answered = !error; });
    QVERIFY(answered);
    QCOMPARE(system.requests(), 0);
    QCOMPARE(system.calls.size(), std::size(NtRoad) - 1);
    poweroff::ShutDownNT(dryRun, false, [](const std::optional<std::string> &) {});
    QCOMPARE(QString::fromStdString(out.str()),
             QStringLiteral("dry run: power-off requested (flags 5)\n"
                            "dry run: power-off requested (flags 1)\n"));
}

QTEST_GUILESS_MAIN(PowerOffTest)
#include "tst_poweroff.moc"
