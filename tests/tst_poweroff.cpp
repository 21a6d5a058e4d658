#include "fakeroad.h"
#include "fakesystem.h"
#include "poweroff/dryrunroad.h"
#include "qt/logindroad.h"
#include "poweroff/ntroad.h"
#include "poweroff/poweroff.h"
#include "simulatedwindows.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QElapsedTimer>
#include <QTest>

#include <unistd.h>

namespace {

const QString Logind = QStringLiteral("org.freedesktop.login1");
const QString Portal = QStringLiteral("org.freedesktop.portal.Desktop");

QString busId(const QDBusConnection &bus)
{
    return bus
        .call(QDBusMessage::createMethodCall("org.freedesktop.DBus", "/org/freedesktop/DBus",
                                             "org.freedesktop.DBus", "GetId"))
        .arguments()
        .value(0)
        .toString();
}

QString said(const poweroff::Outcome &outcome)
{
    const char *const kinds[] = {"accepted", "waiting", "refused"};
    return QString("%1: %2 (%3)")
        .arg(kinds[int(outcome.kind)], QString::fromStdString(outcome.reason),
             QString::fromStdString(outcome.detail));
}

} // namespace

class PowerOffTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void init();
    void ntRequest_data();
    void ntRequest();
    void ntWithoutForce();
    void ntCheckAndStayAwake();
    void dryRunAsksNothing();
    void logindCheck_data();
    void logindCheck();
    void logindRequest_data();
    void logindRequest();
    void logindAfterTheBusRestarted();
    void stayAwake_data();
    void stayAwake();

private:
    poweroff::Outcome request(poweroff::Road &road, QStringList *all = nullptr);
    void situation(const QString &words);

    PrivateBus m_bus;
    FakeLogind &m_logind = m_bus.logind;
    FakePortal &m_portal = m_bus.portal;
};

void PowerOffTest::initTestCase()
{
    // The road is pointed at the private bus as both its system and its session bus.
    if (!m_bus.start())
        return; // the logind tests say so
    qputenv("DBUS_SYSTEM_BUS_ADDRESS", m_bus.address());
    qputenv("DBUS_SESSION_BUS_ADDRESS", m_bus.address());
    // Proof, not trust: every bus has an id of its own. If "the system bus" the road will use
    // is not this very bus, stop before anything can ask for a power-off.
    QVERIFY(!busId(PrivateBus::standIns()).isEmpty());
    if (busId(QDBusConnection::systemBus()) != busId(PrivateBus::standIns()))
        qFatal("refusing to run: the system bus is not this test's private bus");
}

void PowerOffTest::cleanupTestCase()
{
    m_bus.stop();
}

void PowerOffTest::init()
{
    if (QByteArray(QTest::currentTestFunction()).startsWith("nt") ||
        QByteArray(QTest::currentTestFunction()) == "dryRunAsksNothing")
        return;
    if (!m_bus.isRunning())
        QSKIP("no private bus: dbus-daemon is not installed (package dbus-daemon)");
    m_logind.calls.clear();
    m_logind.answer.clear();
    m_logind.delayMs = 0;
    m_logind.inhibitors.clear();
    m_logind.inSession = true;
    m_logind.otherSessions = false;
    m_logind.possible = true;
    m_logind.rules.clear();
    m_portal.calls.clear();
    m_bus.offer(Logind, true);
    m_bus.offer(Portal, true);
}

poweroff::Outcome PowerOffTest::request(poweroff::Road &road, QStringList *all)
{
    std::optional<poweroff::Outcome> outcome;
    QElapsedTimer clock;
    clock.start();
    road.request([&](const poweroff::Outcome &answer) {
        if (all)
            *all << said(answer);
        if (answer.kind != poweroff::Outcome::Kind::Waiting)
            outcome = answer;
    });
    if (clock.elapsed() > 200)
        qWarning("the request held the window up for %lld ms", clock.elapsed());
    if (!QTest::qWaitFor([&] { return outcome.has_value(); }, 5000))
        return {poweroff::Outcome::Kind::Refused, "(no answer)", ""};
    return *outcome;
}

void PowerOffTest::ntRequest_data()
{
    QTest::addColumn<QString>("os");
    QTest::addColumn<int>("platformId");
    QTest::addColumn<QString>("failing"); // a call that fails for reasons of its own
    QTest::addColumn<bool>("privilege");  // the token was opened to enable it
    QTest::addColumn<QString>("said");
    const QString accepted = "accepted:  ()";
    const QString denied = "refused: Access is denied (Access is denied)";
    const auto row = [](const char *name, const char *os, int platform, const char *failing,
                        bool privilege, const QString &said) {
        QTest::newRow(name) << QString(os) << platform << QString(failing) << privilege << said;
    };
    row("NT: the privilege, then the shutdown", "Windows_NT", 2, "", true, accepted);
    row("OS unset: no privilege step, which NT refuses", "", 2, "", false, denied);
    row("the same word in lower case", "windows_nt", 2, "", false, denied);
    row("not NT: none needed", "", 1, "", false, accepted);
    row("the NT word on another platform: no privilege step", "Windows_NT", 1, "", false,
        accepted);
    row("no token: the request still goes", "Windows_NT", 2, "OpenProcessToken", false, denied);
    row("an unknown privilege: the token is still closed", "Windows_NT", 2,
        "LookupPrivilegeValueA", true, denied);
    row("the privilege not granted", "Windows_NT", 2, "AdjustTokenPrivileges", true, denied);
    row("a refusal in the system's words", "Windows_NT", 2, "ExitWindowsEx", true, denied);
}

void PowerOffTest::ntRequest()
{
    QFETCH(QString, os);
    QFETCH(int, platformId);
    QFETCH(QString, failing);
    QFETCH(bool, privilege);
    QFETCH(QString, said);
    SimulatedWindows windows;
    windows.os = os.toStdString();
    windows.platformId = static_cast<std::uint32_t>(platformId);
    windows.failing.insert(failing.toStdString());
    poweroff::NtRoad road(windows);
    QStringList answers;
    road.request([&](const poweroff::Outcome &outcome) { answers << ::said(outcome); });
    QCOMPARE(answers, QStringList{said});
    // A shutdown that closes programs by force, once, when it was allowed.
    QCOMPARE(windows.shutdowns, said == "accepted:  ()" ? std::vector<std::uint32_t>{5}
                                                         : std::vector<std::uint32_t>{});
    QCOMPARE(windows.tokenOpened, privilege);
    QCOMPARE(windows.openHandles, 0);
}

void PowerOffTest::ntWithoutForce()
{
    SimulatedWindows windows;
    poweroff::ShutDownNT(windows, false, [](const std::optional<std::string> &) {});
    QCOMPARE(windows.shutdowns, std::vector<std::uint32_t>{1});
}

void PowerOffTest::ntCheckAndStayAwake()
{
    SimulatedWindows windows;
    poweroff::NtRoad road(windows);
    QStringList answers;
    const auto checked = [&](const poweroff::Readiness &readiness) {
        answers << QString::fromStdString(readiness.allowed ? "allowed" : readiness.words);
    };
    road.check(checked);
    windows.shutdownPrivilege = false; // a locked-down account
    road.check(checked);
    QCOMPARE(answers, QStringList({"allowed", "This account may not turn the computer off."}));
    road.stayAwake(true);
    road.stayAwake(false);
    QCOMPARE(windows.awake, std::vector<std::uint32_t>({0x80000001, 0x80000000}));
}

void PowerOffTest::dryRunAsksNothing()
{
    // The check and staying awake go to the system's road; the request becomes one line.
    FakeRoad system;
    system.readiness = {false, "Not here.", "", ""};
    std::string out;
    const auto print = [&out](const std::string &line) { out += line + "\n"; };
    poweroff::DryRunRoad dryRun(system, print);
    QStringList answers;
    dryRun.check([&](const poweroff::Readiness &readiness) {
        answers << QString::fromStdString(readiness.words);
    });
    dryRun.stayAwake(true);
    dryRun.request([&](const poweroff::Outcome &outcome) { answers << said(outcome); });
    QCOMPARE(answers, QStringList({"Not here.", "accepted:  (a dry run: nothing was asked of the "
                                                "system)"}));
    QVERIFY(system.awake);
    QCOMPARE(system.requests, 0);
    QCOMPARE(QString::fromStdString(out),
             QStringLiteral("dry run: power-off requested (flags 5)\n"));
}

void PowerOffTest::situation(const QString &words)
{
    // "absent": logind is not on the bus; "others": another user is logged in; "outside": the
    // program runs in no session; "na"; "lock:WHOSE:MODE": a lock on shutdown held by another
    // user's Backup or the caller's own; "rule:ACTION=ANSWER": polkit's rule for an action.
    const uint me = getuid();
    for (const QString &word : words.split(' ', Qt::SkipEmptyParts)) {
        if (word == "absent")
            m_bus.offer(Logind, false);
        else if (word == "others")
            m_logind.otherSessions = true;
        else if (word == "outside")
            m_logind.inSession = false;
        else if (word == "na")
            m_logind.possible = false;
        else if (word.startsWith("lock:"))
            m_logind.inhibitors << Inhibitor{"shutdown:sleep", "Backup", "Nightly backup",
                                             word.section(':', 2, 2), word.section(':', 1, 1) == "own"
                                                                       ? me
                                                                       : me + 1};
        else if (word.startsWith("rule:"))
            m_logind.rules[word.mid(5).section('=', 0, 0)] = word.section('=', 1);
        else
            QFAIL(qPrintable("no such situation: " + word));
    }
}

void PowerOffTest::logindCheck_data()
{
    QTest::addColumn<QString>("situation");
    QTest::addColumn<QString>("words"); // and, for the warning's one line, the reason
    const QString password = "This computer will not let Veltrane turn it off without an "
                             "administrator's password. | an administrator must allow it";
    const QString held = "Turning off is held back by Backup (Nightly backup). | held back by Backup";
    QTest::newRow("nothing special") << "" << " | ";
    QTest::newRow("another user's block lock") << "lock:other:block" << held;
    QTest::newRow("one's own block lock: logind ignores it") << "lock:own:block" << " | ";
    QTest::newRow("another user's delay lock only delays") << "lock:other:delay" << " | ";
    QTest::newRow("another user's lock, an administrator lets it pass")
        << "lock:other:block rule:power-off-ignore-inhibit=yes" << " | ";
    QTest::newRow("another user's lock, the override forbidden")
        << "lock:other:block rule:power-off-ignore-inhibit=no" << held;
    QTest::newRow("another user's lock and a rule for more sessions")
        << "others lock:other:block rule:power-off-multiple-sessions=challenge" << held;
    QTest::newRow("another user logged in") << "others" << " | ";
    QTest::newRow("another user logged in, a rule asks for a password")
        << "others rule:power-off-multiple-sessions=challenge" << password;
    QTest::newRow("outside any session")
        << "outside"
        << "Veltrane was started outside the desktop session, so this computer will not let it "
           "turn it off without an administrator's password. | started outside the desktop "
           "session";
    QTest::newRow("outside, with another user's lock") << "outside lock:other:block" << held;
    QTest::newRow("outside, with one's own lock")
        << "outside lock:own:block"
        << "Veltrane was started outside the desktop session, so this computer will not let it "
           "turn it off without an administrator's password. | started outside the desktop "
           "session";
    QTest::newRow("a rule says no")
        << "rule:power-off=no"
        << "This computer does not let Veltrane turn it off. | permission denied";
    QTest::newRow("na") << "na" << "This computer cannot be turned off from here. | not possible here";
    QTest::newRow("no logind") << "absent"
                               << "No power management service answers. | no power manager "
                                  "answers";
}

void PowerOffTest::logindCheck()
{
    QFETCH(QString, situation);
    QFETCH(QString, words);
    this->situation(situation);
    poweroff::LogindRoad road;
    std::optional<poweroff::Readiness> readiness;
    QElapsedTimer clock;
    clock.start();
    road.check([&](const poweroff::Readiness &answer) { readiness = answer; });
    QVERIFY2(clock.elapsed() < 200 && !readiness, "the check held the window up");
    QTRY_VERIFY(readiness);
    QCOMPARE(QString::fromStdString(readiness->words + " | " + readiness->reason), words);
    QCOMPARE(readiness->allowed, readiness->words.empty());
    QCOMPARE(!readiness->advice.empty(), !readiness->words.empty());
    // What the check foresaw is what the request meets.
    if (situation != "na" && situation != "absent")
        QCOMPARE(said(request(road)).startsWith("accepted"), readiness->allowed);
}

void PowerOffTest::logindRequest_data()
{
    QTest::addColumn<QString>("situation"); // as for the check
    QTest::addColumn<QString>("answer");    // in place of what logind's rules decide
    QTest::addColumn<int>("delayMs");
    QTest::addColumn<QStringList>("said"); // everything the road answered, in order
    const QString refused = "refused: %1 (%2)";
    const QString denied = "org.freedesktop.DBus.Error.AccessDenied: Permission denied";
    const QString password = "org.freedesktop.DBus.Error.InteractiveAuthorizationRequired: "
                             "Interactive authentication required.";
    const QString blocked =
        "org.freedesktop.login1.BlockedByInhibitorLock: Operation denied due to active block "
        "inhibitor";
    const QString backup = " (Backup: Nightly backup)";
    QTest::newRow("accepted") << "" << QString() << 0 << QStringList{"accepted:  ()"};
    QTest::newRow("one's own block lock") << "lock:own:block" << QString() << 0
                                          << QStringList{"accepted:  ()"};
    QTest::newRow("another user's block lock")
        << "lock:other:block" << QString() << 0
        << QStringList{refused.arg("held back by Backup", password + backup)};
    QTest::newRow("outside any session")
        << "outside" << QString() << 0
        << QStringList{refused.arg("started outside the desktop session", password)};
    QTest::newRow("a rule for more sessions")
        << "others rule:power-off-multiple-sessions=challenge" << QString() << 0
        << QStringList{refused.arg("an administrator must allow it", password)};
    QTest::newRow("a rule says no") << "rule:power-off=no" << QString() << 0
                                    << QStringList{refused.arg("permission denied", denied)};
    QTest::newRow("a block inhibitor, as newer logind says")
        << "lock:other:block" << blocked << 0
        << QStringList{refused.arg("held back by Backup", blocked + backup)};
    QTest::newRow("an unknown error")
        << "" << "org.example.Error: Something odd" << 0
        << QStringList{refused.arg("Something odd", "org.example.Error: Something odd")};
    QTest::newRow("no logind") << "absent" << QString() << 0
                               << QStringList{"refused: no power manager answers"};
    QTest::newRow("an answer after the notice")
        << "" << QString() << 150
        << QStringList{"waiting:  (no answer from logind yet)", "accepted:  ()"};
    QTest::newRow("no answer at all")
        << "" << "silent" << 0
        << QStringList{"waiting:  (no answer from logind yet)",
                       "refused: the system did not answer (org.freedesktop.DBus.Error.NoReply"};
}

void PowerOffTest::logindRequest()
{
    QFETCH(QString, situation);
    QFETCH(QString, answer);
    QFETCH(int, delayMs);
    QFETCH(QStringList, said);
    this->situation(situation);
    m_logind.answer = answer;
    m_logind.delayMs = delayMs;
    // The times the program uses, 10 s and 2 min, made 50 and 400 ms.
    poweroff::LogindRoad road({std::chrono::milliseconds(50), std::chrono::milliseconds(400)});
    QStringList all;
    request(road, &all);
    QCOMPARE(all.size(), said.size());
    for (int i = 0; i < said.size(); ++i)
        QVERIFY2(all[i].startsWith(said[i]), qPrintable(all.join(" / ")));
    // Asked once, and never for a password: nobody may be there to type it.
    QCOMPARE(m_logind.calls.filter("PowerOff"),
             situation == "absent" ? QStringList() : QStringList{"PowerOff(false)"});
}

void PowerOffTest::logindAfterTheBusRestarted()
{
    // An upgrade can restart the system bus during a long countdown.
    poweroff::LogindRoad road;
    QCOMPARE(said(request(road)), QString("accepted:  ()"));
    m_bus.stop();
    QVERIFY(said(request(road)).startsWith("refused: no power manager answers"));
    std::optional<poweroff::Readiness> readiness;
    road.check([&](const poweroff::Readiness &answer) { readiness = answer; });
    QTRY_VERIFY(readiness);
    QCOMPARE(readiness->words, std::string("No power management service answers."));
    QVERIFY(m_bus.start());
    QCOMPARE(said(request(road)), QString("accepted:  ()"));
    QCOMPARE(m_logind.calls, QStringList({"PowerOff(false)", "PowerOff(false)"}));
}

void PowerOffTest::stayAwake_data()
{
    QTest::addColumn<bool>("portal"); // the desktop runs one
    QTest::newRow("through the desktop's portal") << true;
    QTest::newRow("through logind, without a portal") << false;
}

void PowerOffTest::stayAwake()
{
    QFETCH(bool, portal);
    if (!portal)
        m_bus.offer(Portal, false);
    const auto open = [this] { return m_portal.inhibitions + m_logind.locks; };
    {
        poweroff::LogindRoad road;
        road.stayAwake(true);
        road.stayAwake(true); // still one
        QTRY_COMPARE(open(), 1);
        road.stayAwake(false);
        QTRY_COMPARE(open(), 0);
        road.stayAwake(true);
        road.stayAwake(false); // before the answer came
        QTRY_COMPARE(m_portal.calls.size() + m_logind.calls.filter("Inhibit").size(), 2);
        QTRY_COMPARE(open(), 0);
        road.stayAwake(true);
        QTRY_COMPARE(open(), 1);
    }
    QTRY_COMPARE(open(), 0); // and when the program ends
    const QString why = "Counting down to turn the computer off";
    if (portal)
        QCOMPARE(m_portal.calls.first(), "Inhibit(, 12, " + why + ")"); // suspend and idle
    else
        QCOMPARE(m_logind.calls.first(), "Inhibit(idle, Veltrane, " + why + ", block)");
}

QTEST_GUILESS_MAIN(PowerOffTest)
#include "tst_poweroff.moc"
