#include "fakesystem.h"
#include "qt/logindroad.h"
#include "session.h"

#include <QDBusPendingCallWatcher>
#include <QLabel>
#include <QRegularExpression>
#include <QTime>

#include <algorithm>
#include <array>

class ConfirmTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void use_data();
    void use() { Session::play(); }
    void log_data();
    void log();
    void refusalsFitTheirLine();
    void notification_data();
    void notification();
    void notificationCancels_data();
    void notificationCancels();
    void dismissedNotification();
    void notificationLastWords_data();
    void notificationLastWords();
    void noNotificationService();
    void headsUpStops();
    void headsUpPutsOff();

private:
    PrivateBus m_bus; // the session bus, with the desktop's notifications played on it
    FakeNotifications &m_notifications = m_bus.notifications;
};

void ConfirmTest::initTestCase()
{
    QVERIFY2(m_bus.start(), "dbus-daemon is not installed");
    qputenv("DBUS_SESSION_BUS_ADDRESS", m_bus.address());
}

void ConfirmTest::init()
{
    m_bus.offer("org.freedesktop.Notifications", true);
    const QByteArray test = QTest::currentTestFunction();
    if (!test.contains("otification") && !test.startsWith("headsUp"))
        return;
    // What sessions before sent the service has heard, before the next one counts.
    QDBusPendingCallWatcher drained(QDBusConnection::sessionBus().asyncCall(
        QDBusMessage::createMethodCall("org.freedesktop.Notifications",
                                       "/org/freedesktop/Notifications",
                                       "org.freedesktop.Notifications", "GetCapabilities")));
    QVERIFY(QTest::qWaitFor([&] { return drained.isFinished(); }));
    m_notifications.calls.clear();
}

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
    // Said in the warning, never in a box over its count and Cancel.
    const char *notHere = "Turning off in %1 seconds may fail: Not here. (Not here. Some advice. "
                          "(Some.Error: Not here.))";
    const auto foreseen = [&](const char *name, const char *script, const char *count) {
        row(name, script,
            (" | warning " + QString(notHere).arg(count) + " | awake").toUtf8().constData());
    };
    foreseen("a refusal foreseen is said in the warning", "deny Not here.; start; keep; tick",
             "30");
    foreseen("and the box at the start is gone", "deny Not here.; start; tick", "30");
    foreseen("it counts on", "deny Not here.; start; tick; count 2", "28");
    row("Cancel still works", "deny Not here.; start; tick; cancel; count 40", "");
}

void ConfirmTest::log_data()
{
    Session::columns();
    Session::row("foreseen and refused",
                 "deny Not here.; refuse permission denied; start; keep; tick; count 30",
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

void ConfirmTest::notification_data()
{
    // What the notification says, by the seconds it names, or "5m" and "1m" before the end, or
    // "~" for the end's time of day; "-" withdraws it. As the stand-in service, or as another.
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("notices");
    QTest::addColumn<QString>("server");
    const auto row = [](const char *name, const char *script, const char *notices,
                        const char *server = "Stand-in") {
        QTest::newRow(name) << QString(script) << QString(notices) << QString(server);
    };
    row("updated as the count is announced", "start; tick; count 29", "30 20 10 5 4 3 2 1");
    row("withdrawn on Cancel", "start; tick; count 10; cancel", "30 20 -");
    row("on the title bar's close", "start; tick; close", "30 -");
    row("once the request is accepted", "start; tick; count 30", "30 20 10 5 4 3 2 1 -");
    row("not while no answer came", "hold; start; tick; count 30; wait", "30 20 10 5 4 3 2 1");
    row("every showing anew", "start; tick; cancel; start; tick", "30 - 30");
    // The heads-up before the end, for a countdown started with more left.
    row("5 minutes before", "set 00:05:02; start; tick 2", "5m");
    row("and 1 minute before", "set 00:05:02; start; tick 242", "5m 1m");
    row("not for less left at the start", "set 00:05:00; start; tick 240", "1m");
    row("none for a short one", "set 00:00:59; start; tick 60", "30");
    row("the warning's in its place", "set 00:01:01; start; tick 62", "1m 30");
    row("withdrawn when stopped", "set 00:05:02; start; tick 2; start", "5m -");
    row("withdrawn on reset", "set 00:05:02; start; tick 2; reset", "5m -");
    row("a new start tells anew", "set 00:05:02; start; tick 2; start; set 00:05:03; start; tick 3",
        "5m - 5m");
    row("none when quiet", "quiet; set 00:05:02; start; tick 242", "");
    // xfce4-notifyd draws the click on a notification as a button: Cancel once is enough.
    row("one Cancel on xfce4-notifyd", "start; tick; count 10", "30 20", "Xfce Notify Daemon");
    // GNOME Shell takes a replaced notification's actions away: never replaced there.
    row("sent once on GNOME", "start; tick; count 29", "~", "gnome-shell");
    row("after the heads-up, a new one", "set 00:01:01; start; tick 62", "1m - ~", "gnome-shell");
    row("new words, a new one", "deny No.; start; tick; count 29", "~ - ~", "gnome-shell");
}

void ConfirmTest::notification()
{
    QFETCH(QString, script);
    QFETCH(QString, notices);
    QFETCH(QString, server);
    QStringList expected;
    uint id = 0; // the service's number for the one shown
    uint next = m_notifications.last + 1;
    for (const QString &notice : notices.split(' ', Qt::SkipEmptyParts)) {
        if (notice == "-") {
            expected << QString("CloseNotification(%1)").arg(std::exchange(id, 0));
            continue;
        }
        // Critical, with Cancel as its button and as a click on it; the heads-up with Stop; both
        // with a way to put the end off.
        const QString left = notice == "5m" ? "5 minutes" : "1 minute";
        const QString action = notice.endsWith('m') ? "Stop" : "Cancel";
        expected << QString("Notify(%1, 2) ").arg(id) +
                        (notice.endsWith('m')
                             ? "Veltrane will turn off the computer in " + left + ", at HH:MM"
                         : notice == "~" ? QString("The computer will turn off at HH:MM:SS")
                                         : QString("The computer will turn off in %1 second%2")
                                               .arg(notice, notice == "1" ? "" : "s")) +
                        (server.startsWith("Xfce") ? " [act " + action
                                                   : QString(" [default %1 act %1").arg(action)) +
                        " later 10 more minutes]";
        id = id ? id : next++;
    }
    m_notifications.server = server;
    Session session;
    session.run(script);
    // The time of day of the end, as the desktop shows it, to the minute or the second.
    static const QRegularExpression clock(" at \\d\\d:\\d\\d(:\\d\\d)? ");
    const auto calls = [&] {
        QStringList calls = m_notifications.calls;
        for (QString &call : calls)
            call.replace(clock, call.contains(", at") ? " at HH:MM " : " at HH:MM:SS ");
        return calls;
    };
    // Each one waits for the service's answer to the one before: then nothing more comes.
    static_cast<void>(QTest::qWaitFor([&] { return calls() == expected; }, 2000));
    QTest::qWait(100);
    m_notifications.server = "Stand-in";
    QCOMPARE(calls(), expected);
}

void ConfirmTest::headsUpStops()
{
    // Its Stop stops the countdown as the toggle would.
    Session session;
    session.run("set 00:05:02; start; tick 2");
    QTRY_COMPARE(m_notifications.calls.size(), 1);
    QVERIFY2(m_notifications.calls[0].contains(
                 QTime::currentTime().addSecs(300).toString(", 'at' HH:mm ")) ||
                 m_notifications.calls[0].contains(
                     QTime::currentTime().addSecs(240).toString(", 'at' HH:mm ")),
             qPrintable("not the time of the end: " + m_notifications.calls[0]));
    m_notifications.invoke("act");
    QTRY_COMPARE(session.seen(), "00:05:00 Timer Off");
    QTRY_COMPARE(m_notifications.calls.last(),
                 QString("CloseNotification(%1)").arg(m_notifications.last));
}

void ConfirmTest::headsUpPutsOff()
{
    // Its "10 more minutes" counts down again from ten minutes, and says until when.
    Session session;
    session.run("set 00:05:02; start; tick 2");
    QTRY_COMPARE(m_notifications.calls.size(), 1);
    m_notifications.invoke("later");
    // Its seconds here are short: a few may have gone.
    QTRY_VERIFY2(
        QRegularExpression("^00:(10:00|09:[0-5]\\d) Timer On").match(session.seen()).hasMatch(),
        qPrintable(session.seen()));
    QTRY_VERIFY(m_notifications.calls.last().contains(QRegularExpression(
        "^Notify\\(\\d+, 2\\) Veltrane will turn off the computer at \\d\\d:\\d\\d ")));
}

void ConfirmTest::notificationCancels_data()
{
    QTest::addColumn<QString>("server");
    QTest::addColumn<QString>("action");
    QTest::newRow("its Cancel") << "Stand-in"
                                << "act";
    QTest::newRow("a click on it") << "Stand-in"
                                   << "default";
    QTest::newRow("its Cancel on GNOME") << "gnome-shell"
                                         << "act";
}

void ConfirmTest::notificationCancels()
{
    // Its Cancel, or a click on it, does what the warning's Cancel does, late in the warning
    // too: no request follows. On GNOME it says when the time runs out, to the second.
    QFETCH(QString, server);
    QFETCH(QString, action);
    m_notifications.server = server;
    Session session;
    session.run("start; tick");
    const QTime end = QTime::currentTime().addSecs(30);
    session.run("count 25");
    QTRY_COMPARE(m_notifications.calls.size(), server == "gnome-shell" ? 1 : 4); // 30 20 10 5
    QVERIFY2(server != "gnome-shell" ||
                 std::ranges::any_of(std::array{-1, 0, 1},
                                     [&](int late) {
                                         return m_notifications.calls.value(0).contains(
                                             end.addSecs(late).toString("'at' HH:mm:ss "));
                                     }),
             qPrintable("not the time of the end: " + m_notifications.calls.value(0)));
    m_notifications.invoke(action);
    m_notifications.server = "Stand-in";
    QTRY_VERIFY(!session.warning());
    session.run("count 40");
    QCOMPARE(session.seen(), "00:00:00 Timer Off");
    QTRY_COMPARE(m_notifications.calls.last(),
                 QString("CloseNotification(%1)").arg(m_notifications.last));
}

void ConfirmTest::dismissedNotification()
{
    // Closed by the user while the warning counts: back at once, as a new one, with its Cancel.
    Session session;
    session.run("start; tick; count 3");
    QTRY_COMPARE(m_notifications.calls.size(), 1);
    m_notifications.dismiss();
    QTRY_COMPARE_WITH_TIMEOUT(m_notifications.calls.size(), 2, 1000);
    QCOMPARE(m_notifications.calls[1],
             "Notify(0, 2) The computer will turn off in 30 seconds [default Cancel act Cancel "
             "later 10 more minutes]");
    // Withdrawn when the warning ends, it is not sent again; nor is a dismissed heads-up.
    session.run("cancel");
    QTRY_COMPARE(m_notifications.calls.size(), 3);
    session.run("set 00:05:02; start; tick 2");
    QTRY_COMPARE(m_notifications.calls.size(), 4);
    m_notifications.dismiss();
    QTest::qWait(300);
    QCOMPARE(m_notifications.calls.size(), 4);
}

void ConfirmTest::notificationLastWords_data()
{
    QTest::addColumn<QString>("script");
    QTest::addColumn<QString>("words");
    QTest::newRow("cancelled") << "start; tick; count 3; cancel"
                               << "Turning off was cancelled";
    QTest::newRow("refused") << "refuse No.; start; tick; count 30"
                             << "Could not turn off the computer: No.";
    QTest::newRow("accepted") << "start; tick; count 30"
                              << "The computer is turning off";
}

void ConfirmTest::notificationLastWords()
{
    // notification-daemon may leave a withdrawn notification on screen: its last words are
    // what happened, not urgent, with no Cancel that would do nothing.
    QFETCH(QString, script);
    QFETCH(QString, words);
    m_notifications.server = "Notification Daemon";
    Session session;
    session.run(script);
    // Its words replaced, then withdrawn.
    const auto ending = [&] {
        return QStringList{QString("Notify(%1, 1) %2 []").arg(m_notifications.last).arg(words),
                           QString("CloseNotification(%1)").arg(m_notifications.last)};
    };
    QTRY_COMPARE(m_notifications.calls.mid(m_notifications.calls.size() - 2), ending());
    m_notifications.server = "Stand-in";
}

void ConfirmTest::noNotificationService()
{
    // One line in the log, and everything else as before.
    m_bus.offer("org.freedesktop.Notifications", false);
    Session session;
    session.run("start; tick; count 29");
    QTRY_VERIFY(session.logged().find("no desktop notification") != std::string::npos);
    session.run("count");
    QCOMPARE(session.seen(), "00:00:00 Timer Off | warning 0 | asked 1");
    QTest::qWait(200); // for the bus's answers to the seven notifications after the first
    QCOMPARE(QString::fromStdString(session.logged()).count("no desktop notification"), 1);
}

QTEST_MAIN(ConfirmTest)
#include "tst_confirm.moc"
