#include "session.h"
#include "timer/fieldtext.h"

#include <QApplication>
#include <QMessageBox>
#include <QTimer>

class TimerTest : public QObject {
    Q_OBJECT

private slots:
    void fields_data();
    void fields();
    void use_data();
    void use() { Session::play(); }
    void badFieldEndsTheProgram();
};

void TimerTest::fields_data()
{
    QTest::addColumn<QString>("total"); // or how the error starts
    const char *const rows[][2] = {
        {"24:00:00", "86400"}, // hours are not wrapped at 24
        {"596523:14:07", "2147483647"},
        {" 12 :+7:-3", "43617"}, // blanks and a sign still make a number
        {"ab:00:00", "Type mismatch"},
        {":00:00", "Type mismatch"},
        {"1.5:00:00", "Type mismatch"},
        {"+-1:00:00", "Type mismatch"},
        {"596524:00:00", "Overflow"},
        {"99999999999:00:00", "Overflow"},
        {"596523:00:2147483647", "Overflow"},
    };
    for (const auto &[fields, total] : rows)
        QTest::newRow(fields) << QString(total);
}

void TimerTest::fields()
{
    // The time lives in the fields' text, which only a test can make anything but digits.
    QFETCH(QString, total);
    const QString fields = QTest::currentDataTag();
    Session session;
    const char *const names[] = {"lblQTimerHour", "lblQTimerMinute", "lblQTimerSecond"};
    for (int i = 0; i < 3; ++i)
        session.form.window().label(names[i]).setCaption(fields.section(':', i, i).toStdString());
    try {
        QCOMPARE(QString::number(session.form.GetQuickTimerSeconds()), total);
    } catch (const timer::FieldError &error) {
        QVERIFY2(QString(error.what()).startsWith(total), error.what());
    }
}

void TimerTest::use_data()
{
    Session::columns();
    Session::row("a new window: no tick before the start", "tick", "00:00:00 Timer Off");
    Session::row("from 00:00:00, the first tick", "start; tick",
                 "00:00:00 Timer Off | warning 30 | awake");
    Session::row("00:01:00", "set 00:01:00; start; tick", "00:00:59 Timer On | awake");
    Session::row("01:00:00", "set 01:00:00; start; tick", "00:59:59 Timer On | awake");
    Session::row("23:59:59", "set 23:59:59; start; tick 2", "23:59:57 Timer On | awake");
    Session::row("from T, tick T", "set 00:01:09; start; tick 69", "00:00:00 Timer On | awake");
    Session::row("from T, tick T + 1 opens the warning", "set 00:01:09; start; tick 70",
                 "00:00:00 Timer Off | warning 30 | awake");
    Session::row("stopping keeps the time", "set 00:00:07; start; tick 2; start; tick",
                 "00:00:05 Timer Off");
    Session::row("starting again goes on", "set 00:00:07; start; tick 2; start; start; tick",
                 "00:00:04 Timer On | awake");
    Session::row("reset while running", "set 03:20:05; start; tick; reset; tick",
                 "00:00:00 Timer Off");
    Session::row("after a reset one click starts", "set 00:00:05; start; reset; start",
                 "00:00:00 Timer On | awake");
    Session::row("reset leaves the spinners alone", "set 03:20:05; reset; up scrollMinutes",
                 "00:21:00 Timer Off");
    Session::row("a spinner moved while running", "set 00:02:00; start; tick; up scrollMinutes",
                 "00:03:59 Timer On | awake");
    Session::row("the next tick goes on from it",
                 "set 00:02:00; start; tick; up scrollMinutes; tick", "00:03:58 Timer On | awake");
    Session::row("the warning takes all input", "start; tick; start; reset; up scrollHours",
                 "00:00:00 Timer Off | warning 30 | awake");
    Session::row("Cancel leaves it stopped", "set 00:00:01; start; tick 2; cancel; tick",
                 "00:00:00 Timer Off");
    Session::row("after Cancel one click starts", "start; tick; cancel; start",
                 "00:00:00 Timer On | awake");
    Session::row("Space presses a button", "key cmdStartQuickTimer Space",
                 "00:00:00 Timer On | awake");
    Session::row("Enter does not", "key cmdStartQuickTimer Return; key cmdStartQuickTimer Enter",
                 "00:00:00 Timer Off");
    Session::row("a refusal foreseen is told at the start", "set 00:05:00; deny Not here.; start",
                 "00:05:00 Timer On | box: Not here. | awake");
    Session::row("the countdown goes on meanwhile", "set 00:05:00; deny Not here.; start; tick",
                 "00:04:59 Timer On | box: Not here. | awake");
    Session::row("keep counting", "set 00:05:00; deny Not here.; start; keep; tick",
                 "00:04:59 Timer On | awake");
    Session::row("or stop", "set 00:05:00; deny Not here.; start; tick; stop; tick",
                 "00:04:59 Timer Off");
    Session::row("a late answer for a stopped countdown is only logged",
                 "deny Not here.; hold; set 00:05:00; start; reset; answer", "00:00:00 Timer Off");
    Session::row("a late answer for the running one is told",
                 "deny Not here.; hold; set 00:05:00; start; tick; answer",
                 "00:04:59 Timer On | box: Not here. | awake");

    // A time of the clock is kept by the clock; a span counts the ticks.
    Session::row("a sleep of 10 minutes during --at", "until 3600; tick; clock 600; tick",
                 "00:50:00 Timer On | awake");
    Session::row("a sleep past the time: the warning a tick on",
                 "until 3600; tick; clock 7200; tick; tick",
                 "00:00:00 Timer Off | warning 30 | awake");
    Session::row("a slow start counts --at from the start", "until 600 late 5",
                 "00:09:55 Timer On | awake");
    Session::row("the clock set back an hour", "until 600; clock -3600; tick",
                 "01:10:00 Timer On | awake");
    Session::row("a second of rounding is not a move", "until 600; clock 1; tick",
                 "00:09:59 Timer On | awake");
    Session::row("a span only counts its ticks", "set 01:00:00; start; tick; clock 600; tick",
                 "00:59:58 Timer On | awake");
    Session::row("a spinner moved makes --at a span",
                 "until 3600; up scrollSeconds; clock 600; tick", "01:00:00 Timer On | awake");
    Session::row("stopped and started again, a span", "until 3600; start; start; clock 600; tick",
                 "00:59:59 Timer On | awake");

    // Each spinner wraps at both ends, goes on from there, and moves its own field only.
    const struct {
        const char *name;
        int top;
        int slot;
    } spinners[] = {{"scrollHours", 23, 0}, {"scrollMinutes", 59, 1}, {"scrollSeconds", 59, 2}};
    for (const auto &[name, top, slot] : spinners) {
        const auto time = [slot = slot](int value) {
            return QString("00:00:00").replace(slot * 3, 2, QString::asprintf("%02d", value));
        };
        const auto row = [&](const char *what, int from, const char *steps, int to) {
            QTest::addRow("%s: %s", name, what)
                << "set " + time(from) + "; " + QString(steps).arg(name) << time(to) + " Timer Off";
        };
        row("the upper arrow over the top and on", top, "up %1; up %1", 1);
        row("the lower arrow under 0 and on", 0, "down %1; down %1", top - 1);
        row("the upper arrow raises", 4, "up %1", 5);
        row("the lower arrow lowers", 4, "down %1", 3);
        row("Up raises", 9, "key %1 Up", 10);
        row("Down lowers", 10, "key %1 Down", 9);
        row("Page Up over the top and on", top, "key %1 PgUp; key %1 PgUp", 1);
        row("Page Down under 0 and on", 0, "key %1 PgDown; key %1 PgDown", top - 1);
        row("Home over the top and down", 7, "key %1 Home; key %1 Down", top);
        row("End under 0 and up", 7, "key %1 End; key %1 Up", 0);
        row("dragging the thumb shows nothing yet", 0, "drag %1 -10", 0);
        row("letting it go shows where it is", 0, "drag %1 -10; drop %1", 10);
    }
}

void TimerTest::badFieldEndsTheProgram()
{
    // Nothing the program writes makes a field that is not a number. If one did, the tick would
    // stop the program with the error in a message box rather than count from a guess.
    Session session;
    session.form.window().label("lblQTimerMinute").setCaption("xx");
    session.run("start");
    QString told;
    QTimer::singleShot(0, [&] { session.run("tick"); });
    QTimer::singleShot(0, [&] {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        told = box ? box->text() : QStringLiteral("(no message box)");
        if (box)
            box->reject();
    });
    QTimer hang;
    connect(&hang, &QTimer::timeout, [] { QCoreApplication::exit(99); });
    hang.start(3000);
    QCOMPARE(QApplication::exec(), 1);
    QCOMPARE(told, QStringLiteral("Type mismatch: the time field \"xx\" is not a number."));
}

QTEST_MAIN(TimerTest)
#include "tst_timer.moc"
