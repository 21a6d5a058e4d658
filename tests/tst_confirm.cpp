#include "poweroff/logindroad.h"
#include "session.h"

#include <QLabel>

class ConfirmTest : public QObject {
    Q_OBJECT

private slots:
    void use_data();
    void use() { Session::play(); }
    void log_data();
    void log();
    void refusalsFitTheirLine();
};

void ConfirmTest::use_data()
{
    Session::columns();
    const auto row = [](const char *name, const char *script, const char *seen) {
        Session::row(name, script, (QByteArray("00:00:00 Timer Off") + seen).constData());
    };
    row("the first second", "start; tick", " | warning 30 | awake");
    row("1 keeps its plural", "start; tick; count 29", " | warning 1 | awake");
    row("at 0 it asks", "start; tick; count 30", " | warning 0 | asked 1");
    row("once only", "start; tick; count 40", " | warning 0 | asked 1");
    row("Cancel at once", "start; tick; cancel; count 40", "");
    row("Cancel on the tick that showed 1", "start; tick; count 29; cancel; count 40", "");
    row("the title bar's close", "start; tick; count 10; close; count 40", "");
    row("Esc and Enter mean nothing",
        "start; tick; key cmdCancel Esc; key cmdCancel Return; key cmdCancel Enter",
        " | warning 30 | awake");
    row("Space presses Cancel", "start; tick; key cmdCancel Space; count 40", "");
    row("every showing counts from 30", "start; tick; count 12; cancel; start; tick",
        " | warning 30 | awake");
    row("and on from there", "start; tick; count 12; cancel; start; tick; count",
        " | warning 29 | awake");
    row("a refusal is said", "refuse permission denied; start; tick; count 30",
        " | warning Could not turn off the computer: permission denied (Some.Error: permission "
        "denied) | asked 1");
    row("Cancel closes it", "refuse permission denied; start; tick; count 30; cancel",
        " | asked 1");
    row("no answer yet is said honestly", "hold; start; tick; count 30; wait",
        " | warning The system has not answered yet; the computer may still turn off (no answer "
        "yet) | awake | asked 1");
    row("the answer that follows counts", "refuse no; hold; start; tick; count 30; wait; answer",
        " | warning Could not turn off the computer: no (Some.Error: no) | asked 1");
    row("a late acceptance", "hold; start; tick; count 30; answer", " | warning 0 | asked 1");
    row("a late answer after Cancel", "refuse no; hold; start; tick; count 30; cancel; answer",
        " | asked 1");
    row("a late answer in the next showing",
        "refuse no; hold; start; tick; count 30; cancel; start; tick; answer",
        " | warning 30 | awake | asked 1");
    row("a refusal foreseen is told again when the warning opens",
        "deny Not here.; start; keep; tick", " | warning 30 | box: Not here. | awake");
    row("keep waiting", "deny Not here.; start; keep; tick; keep; count", " | warning 29 | awake");
    row("or stop", "deny Not here.; start; keep; tick; stop; count", "");
}

void ConfirmTest::log_data()
{
    Session::columns();
    Session::row("foreseen and refused",
                 "deny Not here.; refuse permission denied; start; keep; tick; keep; count 30",
                 "would not be allowed: Not here. (Some.Error: Not here.)\n"
                 "would not be allowed: Not here. (Some.Error: Not here.)\n"
                 "requested\n"
                 "refused: Some.Error: permission denied\n");
    Session::row("accepted after a while", "hold; start; tick; count 30; wait; answer",
                 "requested\n"
                 "not answered yet, still waiting: no answer yet\n"
                 "accepted\n");
}

void ConfirmTest::log()
{
    // One line each on standard error, where the journal finds it.
    QFETCH(QString, script);
    QFETCH(QString, seen);
    Session session;
    session.run(script);
    QCOMPARE(QString::fromStdString(session.logged()).remove("veltrane: power-off "), seen);
}

void ConfirmTest::refusalsFitTheirLine()
{
    // The short reason fits the warning's one line; the system's full words are in its tooltip
    // and its description for a screen reader.
    const char *const errors[] = {"org.freedesktop.DBus.Error.AccessDenied",
                                  "org.freedesktop.DBus.Error.InteractiveAuthorizationRequired",
                                  "org.freedesktop.login1.BlockedByInhibitorLock",
                                  "org.freedesktop.login1.OperationInProgress",
                                  "org.freedesktop.DBus.Error.NoReply",
                                  "org.freedesktop.DBus.Error.ServiceUnknown"};
    for (const char *error : errors) {
        Session session;
        const std::string reason = poweroff::LogindRoad::reason(error, "", "Backup");
        session.road.outcome = {poweroff::Outcome::Kind::Refused, reason, error};
        session.run("start; tick; count 30");
        auto *status = session.find<QLabel>("lblStatus");
        QVERIFY2(status && session.warning(), "the warning did not open");
        QCOMPARE(status->text(),
                 "Could not turn off the computer: " + QString::fromStdString(reason));
        QCOMPARE(status->accessibleDescription(), QString(error));
        QCOMPARE(status->toolTip(), QString(error));
    }
    Session session;
    session.run("hold; start; tick; count 30; wait");
    QVERIFY(!session.find<QLabel>("lblStatus")->text().endsWith(QChar(0x2026)));
}

QTEST_MAIN(ConfirmTest)
#include "tst_confirm.moc"
