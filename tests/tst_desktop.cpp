#include "fakesystem.h"

#include <QDBusConnectionInterface>
#include <QFile>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>

// The real program with --dry-run on a real X server with a real window manager, openbox, which
// offers minimise and maximise whatever a window asks for. Driven from outside, as a user would.
class DesktopTest : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanupTestCase();
    void mainWindow();
    void warning();
    void secondStart();
    void realNotifications();

private:
    QString x(const QString &tool, const QStringList &arguments);
    QString find(const QString &title);
    void checkCentred(const QString &window, const QSize &client);

    QString m_display;
    QProcess m_server;
    QProcess m_windowManager;
    QProcess m_program;
    PrivateBus m_bus;
    QString m_main;
};

QString DesktopTest::x(const QString &tool, const QStringList &arguments)
{
    QProcess process;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("DISPLAY", m_display);
    process.setProcessEnvironment(environment);
    process.start(tool, arguments);
    process.waitForFinished(5000);
    return QString::fromLocal8Bit(process.readAllStandardOutput()).trimmed();
}

QString DesktopTest::find(const QString &title)
{
    return x("xdotool", {"search", "--sync", "--onlyvisible", "--name", title}).section('\n', 0, 0);
}

void DesktopTest::checkCentred(const QString &window, const QSize &client)
{
    // With its frame: the frame's extents come from the window manager.
    const QString info = x("xwininfo", {"-id", window});
    const auto number = [&](const char *field) {
        return QRegularExpression(QString(field) + ":\\s+(-?\\d+)").match(info).captured(1).toInt();
    };
    QCOMPARE(QSize(number("Width"), number("Height")), client);
    const QStringList frame =
        x("xprop", {"-id", window, "_NET_FRAME_EXTENTS"}).section("= ", 1).split(", ");
    QCOMPARE(frame.size(), 4);
    const QRect framed(number("Absolute upper-left X") - frame[0].toInt(),
                       number("Absolute upper-left Y") - frame[2].toInt(),
                       client.width() + frame[0].toInt() + frame[1].toInt(),
                       client.height() + frame[2].toInt() + frame[3].toInt());
    const QPoint offCentre = framed.center() - QPoint(640, 400);
    QVERIFY2(
        offCentre.manhattanLength() <= 2,
        qPrintable(
            QString("the frame's centre is %1, %2 off").arg(offCentre.x()).arg(offCentre.y())));
}

void DesktopTest::initTestCase()
{
    for (const char *tool : {"Xvfb", "openbox", "xdotool", "xprop", "xwininfo", "wmctrl"})
        if (QStandardPaths::findExecutable(tool).isEmpty())
            QSKIP(qPrintable(QString("%1 is not installed (scripts/test installs it)").arg(tool)));
    int number = 90 + QCoreApplication::applicationPid() % 100;
    while (QFile::exists(QString("/tmp/.X11-unix/X%1").arg(number)))
        ++number;
    m_display = QString(":%1").arg(number);
    m_server.start("Xvfb", {m_display, "-screen", "0", "1280x800x24", "-noreset"});
    QTRY_VERIFY_WITH_TIMEOUT(QFile::exists(QString("/tmp/.X11-unix/X%1").arg(number)), 5000);
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert("DISPLAY", m_display);
    m_windowManager.setProcessEnvironment(environment);
    m_windowManager.start("openbox", {});
    QTRY_VERIFY_WITH_TIMEOUT(
        x("xprop", {"-root", "_NET_SUPPORTING_WM_CHECK"}).contains("window id"), 5000);
    // logind, played on a bus of the test's own, says yes: no box comes between.
    QVERIFY2(m_bus.start(), "dbus-daemon is not installed");
    environment.insert("DBUS_SYSTEM_BUS_ADDRESS", m_bus.address());
    environment.insert("DBUS_SESSION_BUS_ADDRESS", m_bus.address());
    environment.insert("QT_QPA_PLATFORM", "xcb");
    m_program.setProcessEnvironment(environment);
    m_program.start(qEnvironmentVariable("VELTRANE_BINARY"), {"--dry-run"});
    m_main = find("^Veltrane$");
    QVERIFY2(!m_main.isEmpty(), "the main window did not open");
}

void DesktopTest::cleanupTestCase()
{
    for (QProcess *process : {&m_program, &m_windowManager, &m_server}) {
        process->terminate();
        process->waitForFinished(3000);
    }
}

void DesktopTest::mainWindow()
{
    checkCentred(m_main, {292, 200});
    QVERIFY(x("xprop", {"-id", m_main, "WM_NORMAL_HINTS"})
                .contains("program specified minimum size: 292 by 200"));
    x("wmctrl", {"-i", "-r", m_main, "-b", "add,maximized_vert,maximized_horz"});
    QTest::qWait(500); // the window manager maximises; the window undoes it
    checkCentred(m_main, {292, 200});
}

void DesktopTest::warning()
{
    // A start at 00:00:00 on the toggle's middle opens the warning a second later.
    x("xdotool", {"mousemove", "--window", m_main, "214", "126", "click", "1"});
    const QString warning = find("^Automated shutdown in progress...$");
    QVERIFY2(!warning.isEmpty(), "the warning did not open");
    QCOMPARE(
        x("xprop", {"-id", warning, "WM_TRANSIENT_FOR"}).section("# ", 1).toULongLong(nullptr, 16),
        m_main.toULongLong());
    QVERIFY(x("xprop", {"-id", warning, "_NET_WM_STATE"}).contains("_NET_WM_STATE_ABOVE"));
    checkCentred(warning, {400, 103});
    // Another program, full screen, takes the focus: within a second the warning is in front
    // again, with the keyboard.
    x("sh", {"-c", "xmessage 'Full screen' >/dev/null 2>&1 &"});
    const QString full = find("^xmessage$");
    x("wmctrl", {"-i", "-r", full, "-b", "add,fullscreen"});
    x("xdotool", {"windowactivate", full});
    QTRY_COMPARE_WITH_TIMEOUT(x("xdotool", {"getactivewindow"}), warning, 2500);
    QCOMPARE(x("xprop", {"-root", "_NET_CLIENT_LIST_STACKING"})
                 .section(", ", -1)
                 .toULongLong(nullptr, 16),
             warning.toULongLong());
    x("wmctrl", {"-i", "-c", full});
    // Minimised anyway, it comes straight back.
    x("xdotool", {"windowminimize", warning});
    QTest::qWait(500);
    QVERIFY(x("xwininfo", {"-id", warning}).contains("IsViewable"));
    // Cancel: no request.
    x("xdotool", {"mousemove", "--window", warning, "203", "69", "click", "1"});
    QTRY_VERIFY(!x("xwininfo", {"-id", warning}).contains("IsViewable")); // closed, or gone
    QCOMPARE(m_program.readAllStandardOutput(), QByteArray());
}

void DesktopTest::secondStart()
{
    // Minimised, then started again: the running one comes back to the front, and no other opens.
    x("xdotool", {"windowminimize", m_main});
    QTRY_VERIFY(!x("xwininfo", {"-id", m_main}).contains("IsViewable"));
    QProcess second;
    second.setProcessEnvironment(m_program.processEnvironment());
    second.start(qEnvironmentVariable("VELTRANE_BINARY"), {"--dry-run"});
    QVERIFY(second.waitForFinished(10000));
    QCOMPARE(second.exitCode(), 0);
    QTRY_VERIFY(x("xwininfo", {"-id", m_main}).contains("IsViewable"));
    QTRY_COMPARE(x("xdotool", {"getactivewindow"}), m_main);
    QCOMPARE(x("xdotool", {"search", "--onlyvisible", "--name", "^Veltrane$"}), m_main);
}

void DesktopTest::realNotifications()
{
    // dunst, a real notification service, in place of the stand-in.
    if (QStandardPaths::findExecutable("dunst").isEmpty())
        QSKIP("dunst is not installed (scripts/test installs it)");
    m_bus.offer("org.freedesktop.Notifications", false);
    QTemporaryDir settings; // none of the user's own
    QProcess dunst;
    QProcessEnvironment environment = m_program.processEnvironment();
    environment.insert("XDG_CONFIG_HOME", settings.path());
    dunst.setProcessEnvironment(environment);
    dunst.start("dunst", {});
    QTRY_VERIFY(
        PrivateBus::standIns().interface()->isServiceRegistered("org.freedesktop.Notifications"));
    const auto dunstctl = [&](const QStringList &arguments) {
        QProcess control;
        control.setProcessEnvironment(environment);
        control.start("dunstctl", arguments);
        control.waitForFinished(5000);
        return QString::fromLocal8Bit(control.readAllStandardOutput()).trimmed();
    };
    QProcess second;
    second.setProcessEnvironment(m_program.processEnvironment());
    second.start(qEnvironmentVariable("VELTRANE_BINARY"), {"--dry-run", "--in", "0:00:01"});
    QVERIFY(second.waitForFinished(10000));
    const QString warning = find("^Automated shutdown in progress...$");
    QTRY_COMPARE(dunstctl({"count", "displayed"}), "1");
    const QString notice = x("xdotool", {"search", "--class", "Dunst"}).section('\n', 0, 0);
    // A left click closes it: it is back at once, for a Cancel to stay in sight.
    x("xdotool", {"mousemove", "--window", notice, "20", "20", "click", "1"});
    QTRY_COMPARE_WITH_TIMEOUT(dunstctl({"count", "history"}), "1", 1000);
    QTRY_COMPARE_WITH_TIMEOUT(dunstctl({"count", "displayed"}), "1", 1000);
    // The middle click is dunst's action: the warning closes, nothing is asked, nothing is back.
    x("xdotool", {"mousemove", "--window", notice, "20", "20", "click", "2"});
    QTRY_VERIFY(!x("xwininfo", {"-id", warning}).contains("IsViewable"));
    QTest::qWait(500);
    QCOMPARE(dunstctl({"count", "displayed"}), "0");
    QCOMPARE(m_program.readAllStandardOutput(), QByteArray());
    dunst.terminate();
    dunst.waitForFinished(3000);
}

QTEST_GUILESS_MAIN(DesktopTest)
#include "tst_desktop.moc"
