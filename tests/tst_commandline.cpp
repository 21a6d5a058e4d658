#include "app/commandline.h"

#include <QProcess>
#include <QTest>

using Action = app::CommandLine::Action;

class CommandLineTest : public QObject {
    Q_OBJECT

private slots:
    void parse_data();
    void parse();
    void binary_data();
    void binary();
};

void CommandLineTest::parse_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("action");
    QTest::addColumn<bool>("dryRun");
    QTest::newRow("nothing") << QStringList{} << int(Action::Run) << false;
    QTest::newRow("dry run") << QStringList{"--dry-run"} << int(Action::Run) << true;
    QTest::newRow("version") << QStringList{"--version"} << int(Action::ShowVersion) << false;
    QTest::newRow("help") << QStringList{"-h"} << int(Action::ShowHelp) << false;
    QTest::newRow("unknown option")
        << QStringList{"--shutdown-now"} << int(Action::Refuse) << false;
    QTest::newRow("stray argument") << QStringList{"5"} << int(Action::Refuse) << false;
}

void CommandLineTest::parse()
{
    QFETCH(QStringList, arguments);
    QFETCH(int, action);
    QFETCH(bool, dryRun);
    const auto line = app::CommandLine::parse(QStringList{"veltrane"} + arguments);
    QCOMPARE(int(line.action), action);
    QCOMPARE(line.dryRun, dryRun);
    QCOMPARE(line.exitStatus(), action == int(Action::Refuse) ? 2 : 0);
}

void CommandLineTest::binary_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<int>("status");
    QTest::addColumn<QString>("out");
    QTest::addColumn<QString>("err");
    QTest::newRow("version") << QStringList{"--version"} << 0 << "Veltrane 1.00\n"
                             << "";
    QTest::newRow("help") << QStringList{"--help"} << 0 << "Usage: veltrane [options]"
                          << "";
    QTest::newRow("unknown option") << QStringList{"--bogus"} << 2 << ""
                                    << "Unknown option 'bogus'.";
}

void CommandLineTest::binary()
{
    // The real program, without any display: none of these may open a window.
    QFETCH(QStringList, arguments);
    QFETCH(int, status);
    QFETCH(QString, out);
    QFETCH(QString, err);
    QProcess program;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.remove(QStringLiteral("QT_QPA_PLATFORM"));
    environment.remove(QStringLiteral("DISPLAY"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    program.setProcessEnvironment(environment);
    program.start(qEnvironmentVariable("VELTRANE_BINARY"), arguments);
    QVERIFY(program.waitForFinished(10000));
    QCOMPARE(program.exitCode(), status);
    // An empty expectation means nothing at all was printed there.
    const QString printed = QString::fromLocal8Bit(program.readAllStandardOutput());
    const QString complained = QString::fromLocal8Bit(program.readAllStandardError());
    QVERIFY2(out.isEmpty() ? printed.isEmpty() : printed.startsWith(out), qPrintable(printed));
    QVERIFY2(err.isEmpty() ? complained.isEmpty() : complained.startsWith(err),
             qPrintable(complained));
}

QTEST_GUILESS_MAIN(CommandLineTest)
#include "tst_commandline.moc"
