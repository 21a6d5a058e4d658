#include "fakesystem.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStandardPaths>
#include <QTest>

#include <signal.h>
#include <unistd.h>

// The real program with --dry-run on sway, a Wayland compositor that keeps a full-screen window
// above every other, headless. sway starts the program, as a launcher would; a terminal full
// screen has the focus when the time runs out. sway's own view of its windows says what is in
// sight, and a virtual keyboard types as the user would.
class WaylandTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void inSight_data();
    void inSight();
    void cleanup();

private:
    QString run(const QString &tool, const QStringList &arguments);
    QJsonObject window(const QString &name);

    QTemporaryDir m_runtime;
    QProcess m_sway;
    QProcessEnvironment m_desktop = QProcessEnvironment::systemEnvironment(); // for its clients
    PrivateBus m_bus;
};

QString WaylandTest::run(const QString &tool, const QStringList &arguments)
{
    QProcess process;
    process.setProcessEnvironment(m_desktop);
    process.start(tool, arguments);
    process.waitForFinished(5000);
    return process.readAllStandardOutput();
}

QJsonObject WaylandTest::window(const QString &name)
{
    QList<QJsonObject> nodes{
        QJsonDocument::fromJson(run("swaymsg", {"-t", "get_tree"}).toUtf8()).object()};
    while (!nodes.isEmpty()) {
        const QJsonObject node = nodes.takeLast();
        if (node["name"] == name && node["pid"].toInt())
            return node;
        for (const char *children : {"nodes", "floating_nodes"})
            for (const QJsonValue child : node[children].toArray())
                nodes << child.toObject();
    }
    return {};
}

void WaylandTest::initTestCase()
{
    for (const char *tool : {"sway", "swaymsg", "Xwayland", "foot", "wtype", "setpriv"})
        if (QStandardPaths::findExecutable(tool).isEmpty())
            QSKIP(qPrintable(QString("%1 is not installed (scripts/test installs it)").arg(tool)));
    // sway will not run as root: then it runs as nobody, in a runtime folder of its own, and
    // so does the program it starts, on the test's bus.
    QVERIFY2(m_bus.start(), "dbus-daemon is not installed");
    const bool root = geteuid() == 0;
    QVERIFY(!root || chown(qPrintable(m_runtime.path()), 65534, 65534) == 0);
    const QString bus = QString(m_bus.address()).section('=', 1);
    QVERIFY(QFile::setPermissions(QFileInfo(bus).path(), QFile::ExeOther | QFile::ExeOwner |
                                                             QFile::ReadOwner | QFile::WriteOwner));
    QFile config(m_runtime.filePath("config"));
    QVERIFY(config.open(QIODevice::WriteOnly));
    config.write("xwayland force\n"
                 "output HEADLESS-1 resolution 1280x800\n"
                 "for_window [app_id=\"foot\"] fullscreen enable\n");
    config.close();
    QStringList sway{"env",
                     "-i",
                     "PATH=" + qEnvironmentVariable("PATH"),
                     "XDG_RUNTIME_DIR=" + m_runtime.path(),
                     "WLR_BACKENDS=headless",
                     "WLR_LIBINPUT_NO_DEVICES=1",
                     "WLR_RENDERER=pixman",
                     "sway",
                     "-c",
                     config.fileName()};
    if (root)
        sway = QStringList{"setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"} + sway;
    m_sway.setStandardOutputFile(QProcess::nullDevice());
    m_sway.setStandardErrorFile(QProcess::nullDevice());
    m_sway.start(sway.takeFirst(), sway);
    const QDir runtime(m_runtime.path());
    QTRY_VERIFY_WITH_TIMEOUT(!runtime.entryList({"sway-ipc.*.sock"}, QDir::System).isEmpty(),
                             10000);
    m_desktop.insert("XDG_RUNTIME_DIR", m_runtime.path());
    m_desktop.insert("WAYLAND_DISPLAY", "wayland-1");
    m_desktop.insert("SWAYSOCK",
                     runtime.filePath(runtime.entryList({"sway-ipc.*.sock"}, QDir::System)[0]));
}

void WaylandTest::cleanupTestCase()
{
    m_sway.terminate();
    m_sway.waitForFinished(3000);
}

void WaylandTest::cleanup()
{
    // What a failed row left open.
    for (const char *name : {"foot", "Veltrane"})
        while (const int pid = window(name)["pid"].toInt()) {
            ::kill(pid, SIGKILL);
            QTRY_VERIFY(window(name)["pid"].toInt() != pid);
        }
}

void WaylandTest::inSight_data()
{
    QTest::addColumn<QString>("platform"); // as the user chose it; empty: as the program does
    QTest::addColumn<QString>("shell");    // how sway sees the program's windows
    QTest::newRow("as it starts") << QString() << "xwayland";
    QTest::newRow("on Wayland itself") << "wayland"
                                       << "xdg_shell";
}

void WaylandTest::inSight()
{
    QFETCH(QString, platform);
    QFETCH(QString, shell);
    m_bus.notifications.calls.clear();
    const QString out = m_runtime.filePath("printed");
    run("swaymsg",
        {"exec", QString("env DBUS_SESSION_BUS_ADDRESS=%1 DBUS_SYSTEM_BUS_ADDRESS=%1 "
                         "%2 %3 --dry-run >%4")
                     .arg(m_bus.address(), platform.isEmpty() ? "" : "QT_QPA_PLATFORM=" + platform,
                          qEnvironmentVariable("VELTRANE_BINARY"), out)});
    QTRY_VERIFY_WITH_TIMEOUT(window("Veltrane")["focused"].toBool(), 10000);
    QCOMPARE(window("Veltrane")["shell"].toString(), shell);
    // From the toggle, which has the focus, to the seconds spinner: one second; then Start.
    // Each run of wtype brings a keymap of its own: the X server needs a moment to take it.
    run("wtype", {"-s", "200", "-k", "Tab", "-k", "Tab", "-k", "Tab", "-k", "Tab", "-k", "Up", "-k",
                  "Tab", "-k", "space"});
    run("swaymsg", {"exec", "foot sleep 60"}); // nobody has no shell
    QTRY_VERIFY(window("foot")["focused"].toBool() && window("foot")["fullscreen_mode"].toInt());
    // Two seconds after the start the warning opens, and within one more it is in sight with
    // the keyboard, however sway keeps a full-screen window on top.
    const QString title = "Automated shutdown in progress...";
    QTRY_VERIFY_WITH_TIMEOUT(window(title)["visible"].toBool() && window(title)["focused"].toBool(),
                             4000);
    QVERIFY(m_bus.notifications.calls.value(0).contains("turn off in 30 seconds"));
    run("wtype", {"-s", "200", "-k", "space"}); // on its Cancel
    QTRY_VERIFY(window(title).isEmpty());
    QTRY_VERIFY(m_bus.notifications.calls.last().startsWith("CloseNotification"));
}

QTEST_GUILESS_MAIN(WaylandTest)
#include "tst_wayland.moc"
