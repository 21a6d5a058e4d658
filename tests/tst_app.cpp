#include "app/program.h"
#include "confirm/shutdownform.h"
#include "fakeroad.h"
#include "qt/qtruntime.h"
#include "qt/qtwindow.h"
#include "qt/ticktimer.h"
#include "version.h"

#include <QApplication>
#include <QProcess>
#include <QTest>
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

QTEST_MAIN(AppTest)
#include "tst_app.moc"
