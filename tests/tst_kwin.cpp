#include "fakesystem.h"

#include <QApplication>
#include <QDBusConnectionInterface>
#include <QJsonArray>
#include <QJsonDocument>
#include <QStandardPaths>
#include <QTest>
#include <QWidget>

// The real program with --dry-run on KWin, natively on Wayland, headless. A full-screen window
// has the focus when the time runs out, and the user clicks into it again during the warning.
// KWin's own view of its windows, asked through a script, says which is active and on top.
class KWinTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void inFront();

private:
    // Runs JavaScript in KWin; what it prints comes back.
    QString script(const QString &code);
    // The window with this title: whether it is active, and how high KWin stacks it.
    QPair<bool, int> window(const QString &title);

    QTemporaryDir m_dir;
    QProcess m_kwin;
    QProcess m_cover;
    QProcess m_program;
    QProcessEnvironment m_desktop = QProcessEnvironment::systemEnvironment(); // for its clients
    PrivateBus m_bus;
    int m_scripts = 0;
};

QString KWinTest::script(const QString &code)
{
    const QString name = QString("test%1").arg(++m_scripts);
    QFile file(m_dir.filePath(name + ".js"));
    if (!file.open(QIODevice::WriteOnly))
        return {};
    file.write(QString("print('%1', %2);").arg(name, code).toUtf8());
    file.close();
    QDBusConnection bus = PrivateBus::standIns();
    const QDBusMessage load =
        bus.call(QDBusMessage::createMethodCall("org.kde.KWin", "/Scripting",
                                                "org.kde.kwin.Scripting", "loadScript")
                 << file.fileName() << name);
    bus.call(QDBusMessage::createMethodCall(
        "org.kde.KWin", "/" + load.arguments().value(0).toString(), "org.kde.kwin.Script", "run"));
    // It prints to KWin's error output, as "js: name what".
    QFile log(m_dir.filePath("kwin.log"));
    for (int waited = 0; waited < 2000; waited += 20) {
        QTest::qWait(20);
        if (!log.open(QIODevice::ReadOnly))
            continue;
        const QString printed = log.readAll();
        log.close();
        const qsizetype at = printed.lastIndexOf("js: " + name + " ");
        if (at >= 0)
            return printed.mid(at).section('\n', 0, 0).section(' ', 2);
    }
    return {};
}

QPair<bool, int> KWinTest::window(const QString &title)
{
    const QJsonArray found =
        QJsonDocument::fromJson(
            script(QString("JSON.stringify(workspace.clientList().filter(w => w.caption == '%1')"
                           ".map(w => [w.active, w.layer * 1000 + w.stackingOrder]))")
                       .arg(title))
                .toUtf8())
            .array();
    const QJsonArray first = found.at(0).toArray();
    return {first.at(0).toBool(), first.size() ? first.at(1).toInt() : -1};
}

void KWinTest::initTestCase()
{
    const QString kwin = QStandardPaths::findExecutable("kwin_wayland");
    if (kwin.isEmpty())
        QSKIP("kwin_wayland is not installed (scripts/test installs it)");
    QVERIFY2(m_bus.start(), "dbus-daemon is not installed");
    // A copy, without the file capability the installed one has: an unprivileged test may run
    // it, and a sandbox that forbids raising privileges does not stop it.
    const QString copy = m_dir.filePath("kwin_wayland");
    QVERIFY(QFile::copy(kwin, copy));
    m_desktop.insert("XDG_RUNTIME_DIR", m_dir.path());
    m_desktop.insert("DBUS_SESSION_BUS_ADDRESS", m_bus.address());
    m_desktop.insert("DBUS_SYSTEM_BUS_ADDRESS", m_bus.address());
    m_desktop.insert("WAYLAND_DISPLAY", "veltrane-kwin");
    m_desktop.insert("QT_QPA_PLATFORM", "wayland");
    m_desktop.insert("XDG_CURRENT_DESKTOP", "KDE");
    QProcessEnvironment environment = m_desktop;
    environment.insert("QT_LOGGING_RULES", "kwin_scripting.debug=true");
    environment.remove("QT_QPA_PLATFORM");
    m_kwin.setProcessEnvironment(environment);
    m_kwin.setStandardOutputFile(QProcess::nullDevice());
    m_kwin.setStandardErrorFile(m_dir.filePath("kwin.log"));
    m_kwin.start(copy,
                 {"--virtual", "--width", "1280", "--height", "800", "--socket", "veltrane-kwin"});
    QTRY_VERIFY_WITH_TIMEOUT(
        PrivateBus::standIns().interface()->isServiceRegistered("org.kde.KWin").value(), 10000);
    m_cover.setProcessEnvironment(m_desktop);
    m_cover.start(QCoreApplication::applicationFilePath(), {"--cover"});
    QTRY_VERIFY_WITH_TIMEOUT(window("cover").first, 10000);
}

void KWinTest::cleanupTestCase()
{
    for (QProcess *process : {&m_program, &m_cover, &m_kwin}) {
        process->kill();
        process->waitForFinished(3000);
    }
}

void KWinTest::inFront()
{
    m_program.setProcessEnvironment(m_desktop);
    m_program.setStandardOutputFile(QProcess::nullDevice());
    m_program.start(qEnvironmentVariable("VELTRANE_BINARY"), {"--dry-run", "--in", "0:02"});
    const QString title = "Automated shutdown in progress...";
    // The warning opens in front of the full screen, which drops behind it.
    QTRY_VERIFY_WITH_TIMEOUT(window(title).first, 8000);
    QVERIFY(window(title).second > window("cover").second);
    // The user clicks into the full screen: by the next second the warning is back in front
    // (the limit leaves room for a busy machine).
    script("workspace.activeClient = workspace.clientList().find(w => w.caption == 'cover'), ''");
    QVERIFY(window("cover").first);
    QTRY_VERIFY_WITH_TIMEOUT(window(title).first, 3000);
    QVERIFY(window(title).second > window("cover").second);
    // Minimised, it comes back.
    script(
        QString("workspace.clientList().find(w => w.caption == '%1').minimized = true").arg(title));
    QVERIFY(!window(title).first);
    QTRY_VERIFY_WITH_TIMEOUT(window(title).first, 3000);
}

int main(int argc, char **argv)
{
    // The full-screen window the user is busy with.
    if (argc > 1 && qstrcmp(argv[1], "--cover") == 0) {
        QApplication application(argc, argv);
        QWidget cover;
        cover.setWindowTitle("cover");
        cover.showFullScreen();
        return application.exec();
    }
    QCoreApplication application(argc, argv);
    KWinTest test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_kwin.moc"
