#include "fakesystem.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

// What a blind user hears: Debian's Orca speaking through speech-dispatcher and espeak-ng (to a
// silent sound card), on an X server with openbox and the AT-SPI bus, all on a bus of the
// test's own. The real program with --dry-run, driven with real key presses; what Orca spoke is
// read from its own debug record.
class OrcaTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void journey();
    void heard_data();
    void heard();
    void noChatter();

private:
    struct Spoken {
        qint64 ms; // since the warning opened; before it, negative
        QString text;
    };
    void start(QProcess &process, const QString &program, const QStringList &arguments);
    void key(const QString &name, int times = 1);
    QList<Spoken> spokenSince(qsizetype &read);
    // What Orca says from now until it says something matching `until` and a moment more.
    QString hear(const QRegularExpression &until, int timeoutMs = 8000);

    QTemporaryDir m_dir;
    QProcessEnvironment m_environment;
    QString m_display;
    PrivateBus m_bus;
    QProcess m_server, m_windowManager, m_registry, m_orca, m_program;
    qsizetype m_read = 0;
    QElapsedTimer m_warningOpened;
    QMap<QString, QString> m_heard; // what each step of the journey made Orca say
    QList<Spoken> m_duringWarning;
};

void OrcaTest::start(QProcess &process, const QString &program, const QStringList &arguments)
{
    process.setProcessEnvironment(m_environment);
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    process.start(program, arguments);
    QVERIFY2(process.waitForStarted(), qPrintable(program + " did not start"));
}

void OrcaTest::key(const QString &name, int times)
{
    for (int i = 0; i < times; ++i) {
        QProcess xdotool;
        xdotool.setProcessEnvironment(m_environment);
        xdotool.start("xdotool", {"key", name});
        xdotool.waitForFinished(5000);
        QTest::qWait(250); // Orca speaks each key's result before the next
    }
}

QList<OrcaTest::Spoken> OrcaTest::spokenSince(qsizetype &read)
{
    QFile record(m_dir.filePath("orca.debug"));
    if (!record.open(QIODevice::ReadOnly))
        return {};
    const QString text = QString::fromUtf8(record.readAll());
    static const QRegularExpression said("SPEECH OUTPUT: '(.*)'[\\[{]");
    QList<Spoken> spoken;
    qsizetype end = text.lastIndexOf('\n') + 1; // whole lines only
    for (const QString &line : text.mid(read, end - read).split('\n'))
        if (const auto match = said.match(line); match.hasMatch())
            spoken << Spoken{m_warningOpened.isValid() ? m_warningOpened.elapsed() : -1,
                             match.captured(1).trimmed()};
    read = end;
    return spoken;
}

QString OrcaTest::hear(const QRegularExpression &until, int timeoutMs)
{
    QStringList heard;
    QElapsedTimer waited;
    waited.start();
    while (waited.elapsed() < timeoutMs) {
        for (const Spoken &spoken : spokenSince(m_read))
            heard << spoken.text;
        if (until.match(heard.join(" | ")).hasMatch()) {
            QTest::qWait(300); // what it says right after, about the same thing
            for (const Spoken &spoken : spokenSince(m_read))
                heard << spoken.text;
            break;
        }
        QTest::qWait(50);
    }
    return heard.join(" | ");
}

void OrcaTest::initTestCase()
{
    for (const char *tool : {"orca", "speech-dispatcher", "Xvfb", "openbox", "xdotool"})
        if (QStandardPaths::findExecutable(tool).isEmpty())
            QSKIP(qPrintable(QString("%1 is not installed (scripts/test installs it)").arg(tool)));
    const QString registry = "/usr/libexec/at-spi-bus-launcher";
    if (!QFile::exists(registry))
        QSKIP("at-spi2-core is not installed (scripts/test installs it)");

    // A home of its own: Orca's settings, speech-dispatcher's, and a sound card that is silent.
    const QString home = m_dir.filePath("home");
    QVERIFY(QDir().mkpath(home + "/.config/speech-dispatcher") && QDir().mkpath(home + "/orca") &&
            QDir().mkpath(m_dir.filePath("runtime")));
    QFile::setPermissions(m_dir.filePath("runtime"),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    const auto write = [](const QString &path, const QByteArray &text) {
        QFile file(path);
        return file.open(QIODevice::WriteOnly) && file.write(text) == text.size();
    };
    QVERIFY(write(home + "/.asoundrc", "pcm.!default { type null }\n"));
    QVERIFY(write(home + "/.config/speech-dispatcher/speechd.conf",
                  "AudioOutputMethod \"alsa\"\nDefaultModule espeak-ng\n"
                  "AddModule \"espeak-ng\" \"sd_espeak-ng\" \"espeak-ng.conf\"\n"));
    QVERIFY(write(home + "/orca/user-settings.conf",
                  R"({"general": {"enableSpeech": true, "enableBraille": false,
                      "enableBrailleMonitor": false, "enableSound": false,
                      "enableKeyEcho": false, "speechServerFactory": "speechdispatcherfactory",
                      "keyboardLayout": 1, "orcaModifierKeys": ["Insert", "KP_Insert"]},
                      "profiles": {"default": {"profile": ["Default", "default"]}},
                      "keybindings": {}, "pronunciations": {}})"));
    // Each line of the record written when spoken, not when Orca exits.
    QVERIFY(write(home + "/orca/orca-customizations.py",
                  "import orca.debug\norca.debug.debugFile.reconfigure(line_buffering=True)\n"));

    int number = 190 + QCoreApplication::applicationPid() % 100;
    while (QFile::exists(QString("/tmp/.X11-unix/X%1").arg(number)))
        ++number;
    m_display = QString(":%1").arg(number);
    QVERIFY2(m_bus.start(), "dbus-daemon is not installed");
    m_environment = QProcessEnvironment::systemEnvironment();
    for (const auto &[name, value] : std::initializer_list<std::pair<const char *, QString>>{
             {"DISPLAY", m_display},
             {"HOME", home},
             {"XDG_CONFIG_HOME", home + "/.config"},
             {"XDG_CACHE_HOME", home + "/.cache"},
             {"XDG_DATA_HOME", home + "/.local/share"},
             {"XDG_RUNTIME_DIR", m_dir.filePath("runtime")},
             {"DBUS_SESSION_BUS_ADDRESS", m_bus.address()},
             {"DBUS_SYSTEM_BUS_ADDRESS", m_bus.address()},
             {"GSETTINGS_BACKEND", "memory"},
             {"LANGUAGE", "en"},
             {"QT_QPA_PLATFORM", "xcb"},
             {"QT_LINUX_ACCESSIBILITY_ALWAYS_ON", "1"}})
        m_environment.insert(name, value);

    start(m_server, "Xvfb", {m_display, "-screen", "0", "1280x800x24", "-noreset"});
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(QString("/tmp/.X11-unix/X%1").arg(number)), 5000);
    start(m_windowManager, "openbox", {});
    start(m_registry, registry, {"--launch-immediately"});
    QTest::qWait(500);
    start(m_orca, "orca", {"-u", home + "/orca", "--debug-file=" + m_dir.filePath("orca.debug")});
    const QString ready = hear(QRegularExpression("Screen reader on"), 15000);
    if (m_orca.state() != QProcess::Running)
        QSKIP("Orca did not start: another Orca may be running for this user");
    QVERIFY2(!ready.isEmpty(), "Orca said nothing");
}

void OrcaTest::cleanupTestCase()
{
    for (QProcess *process : {&m_program, &m_orca, &m_registry, &m_windowManager, &m_server}) {
        process->terminate();
        process->waitForFinished(3000);
    }
    // speech-dispatcher and its module were started by Orca, for this home only.
    QProcess::execute("pkill", {"-f", "speech-dispatcher.*" + m_dir.filePath("runtime")});
}

void OrcaTest::journey()
{
    start(m_program, qEnvironmentVariable("VELTRANE_BINARY"), {"--dry-run"});
    m_heard["start"] = hear(QRegularExpression("push button"), 10000);
    key("Tab", 4);
    m_heard["spinner's name"] = hear(QRegularExpression("Seconds"));
    key("Up", 8);
    m_heard["spinner"] = hear(QRegularExpression("\\b8\\b"));
    key("shift+Tab", 4);
    hear(QRegularExpression("Timer Off"));
    key("space");
    m_heard["toggle"] = hear(QRegularExpression("Timer On"), 3000);
    // Orca's review: the current line, then the line above it, and the one above that.
    key("KP_Up");
    key("KP_Home");
    key("KP_Home");
    m_heard["review"] = hear(QRegularExpression("Seconds"), 3000);
    m_heard["warning"] = hear(QRegularExpression("Cancel push button"), 12000);
    m_warningOpened.start();
    while (m_warningOpened.elapsed() < 31000 && m_program.state() == QProcess::Running) {
        m_duringWarning << spokenSince(m_read);
        QTest::qWait(100);
    }
    QStringList counted;
    for (const Spoken &spoken : m_duringWarning)
        counted << QString("%1 ms: %2").arg(spoken.ms).arg(spoken.text);
    qInfo().noquote() << "during the warning:" << counted.join(" | ");
    for (const auto &[step, said] : m_heard.asKeyValueRange())
        qInfo().noquote() << step << ":" << said;
}

void OrcaTest::heard_data()
{
    QTest::addColumn<QString>("step");
    QTest::addColumn<QString>("said");
    const struct {
        const char *row, *step, *said;
    } rows[] = {
        {"the start", "start", "Veltrane frame.*Timer Off push button"},
        {"the spinners named by their unit", "spinner's name",
         "Hours 0 spin button.*Minutes 0 spin button.*Seconds 0 spin button"},
        {"a spinner's value", "spinner", "\\b7\\b.*\\b8\\b"},
        {"the toggle's change", "toggle", "Timer On, pressed"},
        {"the time in review", "review", "00 Hours 00 Minutes 0[0-9] Seconds"},
        {"the warning", "warning", "Automated shutdown in progress.*Cancel push button"},
    };
    for (const auto &row : rows)
        QTest::newRow(row.row) << row.step << row.said;
}

void OrcaTest::heard()
{
    QFETCH(QString, step);
    QFETCH(QString, said);
    QVERIFY2(QRegularExpression(said).match(m_heard.value(step)).hasMatch(),
             qPrintable(QString("Orca said \"%1\"").arg(m_heard.value(step))));
}

void OrcaTest::noChatter()
{
    // The count as announced, and nothing in the seconds between.
    QStringList counts;
    for (const Spoken &spoken : m_duringWarning)
        if (const auto match = QRegularExpression("in (\\d+) second").match(spoken.text);
            match.hasMatch())
            counts << match.captured(1);
    QCOMPARE(counts, QStringList({"20", "10", "5", "4", "3", "2", "1"}));
}

QTEST_GUILESS_MAIN(OrcaTest)
#include "tst_orca.moc"
