#include "app/program.h"
#include "confirm/shutdownform.h"
#include "fakeroad.h"
#include "fakesystem.h"
#include "qt/qtruntime.h"
#include "qt/qtwindow.h"
#include "qt/ticktimer.h"
#include "version.h"

#include <QApplication>
#include <QDBusConnectionInterface>
#include <QProcess>
#include <QStandardPaths>
#include <QTest>
#include <QTime>
#include <QTimer>

namespace {

QWidget *widget(ui::Window &window)
{
    return static_cast<ui::qt::QtWindow &>(window).widget();
}

} // namespace

class AppTest : public QObject {
    Q_OBJECT

private slots:
    void commandLine_data();
    void commandLine();
    void journey_data();
    void journey();
    void closingTheMainWindowEndsTheProgram();
    void oneTimerPerSession();
    void aRehearsalNeverReachesARealTimer();
    void putOffAndAsked();
    void optionsAreHandedOver_data();
    void optionsAreHandedOver();
    void callsAreChecked_data();
    void callsAreChecked();
    void withoutASessionBus();
    void anAnswerAlone();
    void cleanup();
    // Slots by name: QtDBus connects a bus's signals no other way.
    void propertiesChanged(const QString &, const QVariantMap &changed, const QStringList &)
    {
        m_told << changed;
    }

private:
    // The real program, with the test's bus as the session's and the system's bus: logind and
    // the notifications are played there.
    void startFirst(const QString &arguments);
    // Another start, to its end: its exit status, then what it printed.
    QString second(const QString &arguments);
    QString firstLogged();

    PrivateBus m_bus;
    QProcess m_first;
    QString m_firstLog;
    QList<QVariantMap> m_told; // the running one's PropertiesChanged
    QString m_locale = "en_GB.UTF-8";
};

void AppTest::commandLine_data()
{
    QTest::addColumn<QString>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("printed"); // how the output starts, or the error for a refusal
    const QString version = "Veltrane " VELTRANE_VERSION "\n";
    const QString usage = "Usage: veltrane [options]\n";
    QTest::newRow("--version") << "--version" << 0 << version;
    QTest::newRow("-v") << "-v" << 0 << version;
    QTest::newRow("--help") << "--help" << 0 << usage;
    QTest::newRow("-h") << "-h" << 0 << usage;
    QTest::newRow("--bogus") << "--bogus" << 2 << QString("Unknown option 'bogus'.\n");
    QTest::newRow("--dry-run 5") << "--dry-run 5" << 2 << QString("Unexpected argument '5'.\n");
    // A bad time is refused before anything starts: none is running to ask, nor any display.
    const struct {
        const char *arguments, *printed;
    } refused[] = {
        {"--in 24:00:00", "--in 24:00:00 is not a span of time: give H:MM:SS, MM:SS, or a span"},
        {"--in 0", "--in 0 is not a span of time"},
        {"--in abc", "--in abc is not a span of time"},
        {"--at 24:61", "--at 24:61 is not a time of day: give HH:MM, from 00:00 to 23:59."},
        {"--in 1:00:00 --at 23:00", "--in and --at cannot be given together"},
        {"--cancel --in 5s", "--cancel cannot be given with --in or --at."},
        {"--dry-run --in", "--in needs a value"},
        {"--quiet=yes", "--quiet takes no value."},
        {"--snooze 0", "--snooze 0 is not a span of time"},
        {"--snooze=5x", "--snooze 5x is not a span of time"},
        {"--snooze --cancel", "--in, --at, --cancel, --snooze and --status ask for different"},
        {"--status --in 5m", "--in, --at, --cancel, --snooze and --status ask for different"},
    };
    for (const auto &row : refused)
        QTest::newRow(row.arguments) << row.arguments << 2 << QString(row.printed);
    for (const char *asks : {"--dry-run --cancel", "--snooze", "--snooze 5m", "--status"})
        QTest::newRow(qPrintable(QString(asks) + ", none running"))
            << asks << 1 << QString("No Veltrane is running.\n");
}

void AppTest::commandLine()
{
    // The real program, with no display at all: none of these may open a window.
    QFETCH(QString, arguments);
    QFETCH(int, status);
    QFETCH(QString, printed);
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    for (const char *display : {"QT_QPA_PLATFORM", "DISPLAY", "WAYLAND_DISPLAY"})
        environment.remove(display);
    program.setProcessEnvironment(environment);
    program.start(qEnvironmentVariable("VELTRANE_BINARY"), arguments.split(' '));
    QVERIFY2(program.waitForFinished(10000), "the program did not run (CTest names it)");
    QCOMPARE(program.exitCode(), status);
    const QString out = program.readAllStandardOutput();
    const QString error = program.readAllStandardError();
    QVERIFY2((status ? error : out).startsWith(printed), qPrintable(out + error));
    QVERIFY2((status ? out : error).isEmpty(), qPrintable(out + error));
}

void AppTest::journey_data()
{
    QTest::addColumn<QString>("arguments");
    QTest::addColumn<QString>("user"); // what the user does once the warning is open
    QTest::addColumn<QString>("printed");
    QTest::addColumn<int>("requests"); // made of the system itself
    const QString line = "dry run: power-off requested (flags 5)\n";
    QTest::newRow("--dry-run, nobody there") << "--dry-run" << QString() << line << 0;
    QTest::newRow("nobody there") << QString() << QString() << QString() << 1;
    QTest::newRow("Cancel") << QString() << "cancel" << QString() << 0;
}

void AppTest::journey()
{
    // The whole journey through the real windows and their own timers, a second made 5 ms:
    // 00:00:02, the warning, its count of 30 and the request, unless the user steps in.
    QFETCH(QString, arguments);
    QFETCH(QString, user);
    QFETCH(QString, printed);
    QFETCH(int, requests);
    const int interval = 5;
    ui::qt::QtRuntime runtime;
    FakeRoad system;
    std::string out;
    const auto print = [&out](const std::string &line) { out += line + "\n"; };
    std::vector<std::string> words;
    for (const QString &word : arguments.split(' ', Qt::SkipEmptyParts))
        words.push_back(word.toStdString());
    app::Program program(app::CommandLine::parse(words), runtime, system, print);
    timer::MainForm &form = program.form();
    auto *tick = widget(form.window())->findChild<ui::qt::TickTimer *>("tmrQuickTimer");
    QList<int> seconds{tick->interval()}; // as the windows define them, before they are shortened
    tick->setInterval(interval);
    QVERIFY(!tick->isActive()); // a new interval does not start a stopped timer
    QWidget *warning = nullptr;
    ui::qt::TickTimer *count = nullptr;
    connect(tick, &ui::qt::TickTimer::timeout, this, [&] { // after the window's own handler
        if (!warning && form.shutDownForm()) {
            warning = widget(*form.shutDownForm()->window());
            count = warning->findChild<ui::qt::TickTimer *>("tmrShutDown");
            seconds << count->interval();
            count->setInterval(interval);
        }
    });
    form.window().scrollBar("scrollSeconds").setPosition(2);
    QTest::mouseClick(widget(form.window())->findChild<QWidget *>("cmdStartQuickTimer"),
                      Qt::LeftButton);
    QTRY_VERIFY_WITH_TIMEOUT(warning && warning->isVisible(), 2000);
    QCOMPARE(seconds, QList<int>({1000, 1000}));
    if (user.isEmpty()) {
        QTRY_VERIFY_WITH_TIMEOUT(system.requests || !out.empty(), 2000);
    } else {
        QTest::qWait(3 * interval);
        QTest::mouseClick(warning->findChild<QWidget *>("cmdCancel"), Qt::LeftButton);
        QVERIFY2(!warning->isVisible(), "the warning is still open");
        QVERIFY2(!count->isActive(), "the warning's count runs on after it closed");
    }
    QTest::qWait(40 * interval); // longer than the rest of the count would have taken
    QCOMPARE(QString::fromStdString(out), printed);
    QCOMPARE(system.requests, requests);
}

void AppTest::closingTheMainWindowEndsTheProgram()
{
    ui::qt::QtRuntime runtime;
    FakeRoad system;
    std::string out;
    const auto print = [&out](const std::string &line) { out += line + "\n"; };
    app::Program program(app::CommandLine::parse({}), runtime, system, print);
    QWidget *main = widget(program.form().window());
    QTest::mouseClick(main->findChild<QWidget *>("cmdStartQuickTimer"), Qt::LeftButton);
    emit main->findChild<ui::qt::TickTimer *>("tmrQuickTimer")->timeout(); // the warning opens
    QVERIFY(program.form().shutDownForm()->isLoaded());
    QTimer::singleShot(0, main, &QWidget::close);
    QTimer hang;
    connect(&hang, &QTimer::timeout, [] { QCoreApplication::exit(99); });
    hang.start(3000);
    QCOMPARE(QApplication::exec(), 0); // at once, warning or not
    QCOMPARE(system.requests, 0);
}

void AppTest::startFirst(const QString &arguments)
{
    QVERIFY2(m_bus.isRunning() || m_bus.start(), "dbus-daemon is not installed");
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("DBUS_SESSION_BUS_ADDRESS", m_bus.address());
    environment.insert("DBUS_SYSTEM_BUS_ADDRESS", m_bus.address());
    environment.insert("LC_ALL", m_locale);
    m_first.setProcessEnvironment(environment);
    m_first.start(qEnvironmentVariable("VELTRANE_BINARY"),
                  arguments.split(' ', Qt::SkipEmptyParts));
    QTRY_VERIFY(PrivateBus::standIns().interface()->isServiceRegistered("org.veltrane.Veltrane"));
    m_bus.notifications.calls.clear();
}

QString AppTest::second(const QString &arguments)
{
    QProcess second;
    second.setProcessEnvironment(m_first.processEnvironment());
    second.start(qEnvironmentVariable("VELTRANE_BINARY"), arguments.split(' ', Qt::SkipEmptyParts));
    if (!second.waitForFinished(10000))
        return "(still running)";
    return (QString::number(second.exitCode()) + " " +
            QString::fromLocal8Bit(second.readAllStandardOutput() + second.readAllStandardError()))
        .trimmed();
}

QString AppTest::firstLogged()
{
    return m_firstLog += QString::fromLocal8Bit(m_first.readAllStandardError());
}

void AppTest::cleanup()
{
    m_first.kill();
    m_first.waitForFinished(3000);
    m_firstLog.clear();
}

void AppTest::oneTimerPerSession()
{
    startFirst("--dry-run --in 1:00:00");
    QTRY_VERIFY(firstLogged().contains("counting down from 01:00:00"));
    QCOMPARE(second("--dry-run"), "0"); // it raises the first, and ends
    // --in replaces the countdown: 1 second, then the warning, told on the desktop too.
    QCOMPARE(second("--dry-run --in 0:00:01"), "0");
    QTRY_VERIFY(firstLogged().contains("counting down from 00:00:01, as another start asked"));
    QTRY_VERIFY(m_bus.notifications.calls.join('\n').contains("turn off in 30 seconds"));
    // While the warning is open, a new time is refused, and the warning goes on.
    QCOMPARE(second("--dry-run --in 5m"),
             "1 The running Veltrane's warning is open: cancel it first (veltrane --cancel, or "
             "its Cancel button).");
    QTRY_VERIFY(firstLogged().contains("another start refused: the warning is open"));
    QCOMPARE(second("--in 5m"), "1 The running Veltrane is a rehearsal (--dry-run): give "
                                "--dry-run too, or close it first.");
    // --cancel cancels it as its Cancel button does: withdrawn, and nothing is asked.
    QCOMPARE(second("--dry-run --cancel"), "0");
    QTRY_VERIFY(m_bus.notifications.calls.last().startsWith("CloseNotification"));
    QCOMPARE(second("--dry-run --cancel"), "0 The running Veltrane was not counting down.");
    QCOMPARE(second("--dry-run --at " + QTime::currentTime().addSecs(120).toString("HH:mm")), "0");
    QTRY_VERIFY(firstLogged().contains(
        QRegularExpression("counting down from 00:0[12]:\\d\\d, as another start asked")));
    QCOMPARE(m_first.readAllStandardOutput(), QByteArray());
    QCOMPARE(m_first.state(), QProcess::Running);
    m_first.terminate();
    QVERIFY(m_first.waitForFinished(5000));
}

void AppTest::aRehearsalNeverReachesARealTimer()
{
    // A real one, its logind played on the test's bus: a rehearsal can neither change nor stop it.
    startFirst("--in 0:00:01");
    QTRY_VERIFY(m_bus.notifications.calls.join('\n').contains("turn off in 30 seconds"));
    const QString refused =
        "1 The running Veltrane is a real timer: a rehearsal (--dry-run) cannot change it.";
    QCOMPARE(second("--dry-run --cancel"), refused);
    QCOMPARE(second("--dry-run --in 1:00:00"), refused);
    QCOMPARE(second("--cancel"), "0");
    QVERIFY(!m_bus.logind.calls.contains("PowerOff(false)"));
}

void AppTest::putOffAndAsked()
{
    // A panel's view of it: told when the state or the end changes, never at a tick.
    QVERIFY(PrivateBus::standIns().connect(
        QString(), "/org/veltrane/Veltrane", "org.freedesktop.DBus.Properties", "PropertiesChanged",
        this, SLOT(propertiesChanged(QString, QVariantMap, QStringList))));
    startFirst("--dry-run --in 0:00:03");
    QTRY_VERIFY(firstLogged().contains("counting down from 00:00:03"));
    QVERIFY(second("--status")
                .contains(QRegularExpression(
                    "^0 counting down: 00:00:0[123] left, until \\d\\d:\\d\\d \\(dry run\\)$")));
    // The warning's notification offers "10 more minutes": it ends the warning as Cancel does,
    // and the countdown runs again from ten minutes.
    QTRY_VERIFY(m_bus.notifications.calls.join('\n').contains(
        QRegularExpression("turn off in 30 seconds .*later 10 more minutes")));
    QVERIFY(second("--status").startsWith("0 warning open: "));
    m_bus.notifications.invoke("later");
    QTRY_VERIFY(firstLogged().contains("put off: counting down from 00:10:00"));
    QTRY_VERIFY(m_bus.notifications.calls.last().contains(
        QRegularExpression("Veltrane will turn off the computer at \\d\\d:\\d\\d ")));
    QVERIFY(
        second("--status").contains(QRegularExpression("^0 counting down: 00:(10:00|09:5\\d)")));
    QCOMPARE(second("--dry-run --snooze 5m"), "0");
    QTRY_VERIFY(firstLogged().contains("put off: counting down from 00:05:00"));
    QCOMPARE(second("--snooze"), "1 The running Veltrane is a rehearsal (--dry-run): give "
                                 "--dry-run too, or close it first.");
    QCOMPARE(second("--dry-run --cancel"), "0");
    QCOMPARE(second("--dry-run --snooze"), "1 The running Veltrane was not counting down.");
    QCOMPARE(second("--status"), "1 not counting (dry run)");
    // Nothing was asked of the system, nor of the dry run.
    QCOMPARE(m_first.readAllStandardOutput(), QByteArray());
    QTRY_COMPARE(m_told.size(), 5);
    QStringList states;
    for (const QVariantMap &told : m_told)
        states << told.value("State", "-").toString();
    // Started; the warning; put off; put off again, a new end alone; cancelled.
    QCOMPARE(states, QStringList({"counting", "warning", "counting", "-", "idle"}));
    QCOMPARE(m_told.at(4).value("End").toLongLong(), 0);
    QVERIFY(m_told.at(3).value("End").toLongLong() < m_told.at(2).value("End").toLongLong());
}

void AppTest::optionsAreHandedOver_data()
{
    QTest::addColumn<QString>("locale");
    QTest::addColumn<QString>("clock"); // a time of the clock as the locale writes it
    QTest::newRow("24-hour") << "en_GB.UTF-8"
                             << "\\d\\d:\\d\\d";
    QTest::newRow("12-hour") << "en_US.UTF-8"
                             << "\\d{1,2}:\\d\\d [AP]M";
}

void AppTest::optionsAreHandedOver()
{
    QFETCH(QString, locale);
    QFETCH(QString, clock);
    m_locale = locale;
    // The heads-up comes 5 minutes before the end: a second --quiet start has none.
    startFirst("--dry-run --in 1:00:00");
    QTRY_VERIFY(firstLogged().contains("counting down from 01:00:00"));
    QCOMPARE(second("--dry-run --quiet --in 5:01"), "0");
    QTRY_VERIFY(second("--status")
                    .contains(QRegularExpression("^0 counting down: 00:04:5\\d left, until " +
                                                 clock + " \\(dry run\\)$")));
    QVERIFY(!m_bus.notifications.calls.join('\n').contains("in 5 minutes"));
    QCOMPARE(second("--dry-run --in 5:01"), "0");
    QTRY_VERIFY(m_bus.notifications.calls.join('\n').contains(
        QRegularExpression("turn off the computer in 5 minutes, at " + clock + " ")));
    m_locale = "en_GB.UTF-8";
}

void AppTest::callsAreChecked_data()
{
    QTest::addColumn<QString>("member");
    QTest::addColumn<QVariantList>("arguments");
    QTest::addColumn<QString>("error");
    const QString refused = "org.veltrane.Veltrane.Error.";
    QTest::newRow("a negative span")
        << "Start" << QVariantList{-5, true} << refused + "NotUnderstood";
    QTest::newRow("a day") << "Start" << QVariantList{86400, true} << refused + "NotUnderstood";
    QTest::newRow("a span in words")
        << "Start" << QVariantList{"1:00:00", true} << "org.freedesktop.DBus.Error.UnknownMethod";
    QTest::newRow("an unknown call")
        << "PowerOff" << QVariantList{} << "org.freedesktop.DBus.Error.UnknownMethod";
    QTest::newRow("a fine one") << "Start" << QVariantList{90, true} << QString();
}

void AppTest::callsAreChecked()
{
    QFETCH(QString, member);
    QFETCH(QVariantList, arguments);
    QFETCH(QString, error);
    startFirst("--dry-run --in 1:00:00");
    QDBusMessage call = QDBusMessage::createMethodCall(
        "org.veltrane.Veltrane", "/org/veltrane/Veltrane", "org.veltrane.Veltrane", member);
    call.setArguments(arguments);
    QCOMPARE(PrivateBus::standIns().call(call).errorName(), error);
    QTRY_VERIFY(
        firstLogged().contains(error.isEmpty() ? "counting down from 00:01:30" : "refused"));
    QCOMPARE(firstLogged().contains("counting down from 00:01:30"), error.isEmpty());
}

void AppTest::withoutASessionBus()
{
    // It runs on, alone, and says why.
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("DBUS_SESSION_BUS_ADDRESS", "unix:path=/nonexistent/veltrane-test-bus");
    m_first.setProcessEnvironment(environment);
    m_first.start(qEnvironmentVariable("VELTRANE_BINARY"), {"--dry-run"});
    QTRY_VERIFY(firstLogged().contains("running alone: no session bus"));
    QTest::qWait(200);
    QCOMPARE(m_first.state(), QProcess::Running);
}

void AppTest::anAnswerAlone()
{
    // On a bus with nobody else on it, an answer comes at once, and a start that only asked
    // ends beside Qt's bus thread still busy with it: a start once printed Qt's complaints too,
    // about one start in three.
    QProcess daemon;
    daemon.start(QStandardPaths::findExecutable("dbus-daemon"),
                 {"--session", "--nofork", "--print-address=1"});
    QVERIFY(daemon.waitForReadyRead(5000));
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("DBUS_SESSION_BUS_ADDRESS", daemon.readLine().trimmed());
    // A hundred and fifty starts from a shell, one after the other, as a script would.
    QProcess starts;
    starts.setProcessEnvironment(environment);
    starts.setProcessChannelMode(QProcess::MergedChannels);
    starts.start("sh", {"-c", "for i in $(seq 150); do \"$0\" --dry-run --cancel; done",
                        qEnvironmentVariable("VELTRANE_BINARY")});
    QVERIFY(starts.waitForFinished(30000));
    QCOMPARE(QString::fromLocal8Bit(starts.readAll()),
             QString("No Veltrane is running.\n").repeated(150));
    daemon.kill();
    daemon.waitForFinished();
}

QTEST_MAIN(AppTest)
#include "tst_app.moc"
