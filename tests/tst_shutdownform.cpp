#include "confirm/shutdownform.h"
#include "memoryruntime.h"
#include "recordingplatform.h"
#include "timer/mainform.h"
#include "ui/qt/qtruntime.h"
#include "ui/qt/qtwindow.h"
#include "ui/qt/ticktimer.h"

#include <QApplication>
#include <QLabel>
#include <QScreen>
#include <QTest>
#include <QTimer>

#include <memory>

namespace {

std::string message(int seconds)
{
    return "Your computer will automatically turn off in " + std::to_string(seconds) +
           " seconds...";
}

} // namespace

class ShutDownFormTest : public QObject {
    Q_OBJECT

private slots:
    // The window on the Qt runtime.
    void layout();
    void keysLeaveItOpen();
    void refusalIsShownInFull();
    // The count, on the in-memory runtime.
    void countdown();
    void cancelPreventsThePowerOff_data();
    void cancelPreventsThePowerOff();
    void everyShowingStartsAt30();
    void refusalIsReported();
    void lateAnswerAfterCancelIsIgnored();

private:
    // A main window whose run has just ended: the warning is open.
    struct Opened {
        explicit Opened(ui::Runtime &runtime) : form(runtime, platform)
        {
            form.window().show();
            form.tmrQuickTimer_Timer(); // a tick at 00:00:00 opens the warning
        }
        confirm::ShutDownForm &warning() { return *form.shutDownForm(); }
        MemoryWindow &memory() { return static_cast<MemoryWindow &>(*warning().window()); }
        QWidget *widget() { return static_cast<ui::qt::QtWindow &>(*warning().window()).widget(); }
        RecordingPlatform platform;
        timer::MainForm form;
    };
};

void ShutDownFormTest::layout()
{
    ui::qt::QtRuntime runtime;
    Opened opened(runtime);
    QWidget *window = opened.widget();
    QVERIFY(QTest::qWaitForWindowActive(window));
    QCOMPARE(window->windowTitle(), QStringLiteral("Automated shutdown in progress..."));
    QCOMPARE(window->size(), QSize(400, 103));
    QCOMPARE(window->minimumSize(), window->maximumSize()); // fixed
    const Qt::WindowFlags flags = window->windowFlags();
    QVERIFY(flags & Qt::WindowCloseButtonHint);
    QVERIFY(!(flags & Qt::WindowMinimizeButtonHint));
    QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
    QVERIFY(!window->windowIcon().isNull());
    QCOMPARE(window->windowModality(), Qt::ApplicationModal);
    const QPoint offCentre = window->geometry().center() -
                             QGuiApplication::primaryScreen()->availableGeometry().center();
    QVERIFY(qAbs(offCentre.x()) <= 2 && qAbs(offCentre.y()) <= 2);

    auto *status = window->findChild<QLabel *>(QStringLiteral("lblStatus"));
    QCOMPARE(status->geometry(), QRect(13, 20, 375, 16));
    QCOMPARE(status->text(), QString::fromStdString(message(30)));
    QVERIFY(status->alignment() & Qt::AlignHCenter);
    QWidget *cancel = window->findChild<QWidget *>(QStringLiteral("cmdCancel"));
    QCOMPARE(cancel->geometry(), QRect(153, 50, 101, 38));
    QVERIFY(cancel->toolTip().isEmpty());
    QVERIFY(window->findChild<ui::qt::TickTimer *>(QStringLiteral("tmrShutDown"))->isActive());

    QCOMPARE(QApplication::focusWidget(), cancel);
    QTest::keyClick(cancel, Qt::Key_Tab);
    QCOMPARE(QApplication::focusWidget(), cancel);
    QTest::keyClick(cancel, Qt::Key_Backtab);
    QCOMPARE(QApplication::focusWidget(), cancel);

    // The main window takes no input meanwhile.
    QWidget *main = static_cast<ui::qt::QtWindow &>(opened.form.window()).widget();
    QVERIFY(QApplication::activeModalWidget() == window);
    QVERIFY(main->isVisible());
}

void ShutDownFormTest::keysLeaveItOpen()
{
    ui::qt::QtRuntime runtime;
    Opened opened(runtime);
    QWidget *window = opened.widget();
    QVERIFY(QTest::qWaitForWindowActive(window));
    for (Qt::Key key : {Qt::Key_Escape, Qt::Key_Return, Qt::Key_Enter}) {
        QTest::keyClick(QApplication::focusWidget(), key);
        QVERIFY(window->isVisible());
        QVERIFY(opened.warning().isLoaded());
    }
    // Space presses the focused Cancel.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Space);
    QVERIFY(!window->isVisible());
    QVERIFY(!opened.warning().isLoaded());
}

void ShutDownFormTest::refusalIsShownInFull()
{
    ui::qt::QtRuntime runtime;
    Opened opened(runtime);
    opened.platform.failing.insert("ExitWindowsEx");
    opened.platform.refusal = "org.freedesktop.login1.BlockedByInhibitorLock: Operation "
                              "inhibited by \"backup\" (a long explanation that cannot fit)";
    for (int i = 0; i < 30; ++i)
        opened.warning().tmrShutDown_Timer();
    auto *status = opened.widget()->findChild<QLabel *>(QStringLiteral("lblStatus"));
    const QString full = QStringLiteral("Could not turn off the computer: ") +
                         QString::fromStdString(opened.platform.refusal);
    QCOMPARE(status->toolTip(), full);
    QVERIFY(status->text().startsWith(QStringLiteral("Could not turn off the computer: ")));
    QVERIFY(status->text().endsWith(QChar(0x2026))); // elided to fit
    QVERIFY(QFontMetrics(status->font()).horizontalAdvance(status->text()) <= status->width());
    QVERIFY(!opened.widget()
                 ->findChild<ui::qt::TickTimer *>(QStringLiteral("tmrShutDown"))
                 ->isActive());
}

void ShutDownFormTest::countdown()
{
    MemoryRuntime runtime;
    Opened opened(runtime);
    MemoryWindow &window = opened.memory();
    QVERIFY(window.isModal());
    QCOMPARE(window.owner(), &opened.form.window());
    QCOMPARE(window.label("lblStatus").caption(), message(30)); // the first second
    for (int shown = 29; shown >= 1; --shown) {
        QVERIFY(window.tick("tmrShutDown"));
        QCOMPARE(window.label("lblStatus").caption(), message(shown));
        QCOMPARE(opened.platform.requests(), 0);
    }
    QCOMPARE(window.label("lblStatus").caption(),
             "Your computer will automatically turn off in 1 seconds...");
    QVERIFY(window.tick("tmrShutDown"));
    QCOMPARE(window.label("lblStatus").caption(), message(0));
    QCOMPARE(opened.platform.requests(), 1);
    // Asked once: the count stops at 0, nothing further is asked.
    for (int i = 0; i < 5; ++i)
        window.tick("tmrShutDown");
    QCOMPARE(opened.platform.requests(), 1);
    QCOMPARE(window.label("lblStatus").caption(), message(0));
    QVERIFY(window.isLoaded()); // a request that went through leaves the window as it is
    QVERIFY(runtime.fatalErrors.empty());
}

void ShutDownFormTest::cancelPreventsThePowerOff_data()
{
    QTest::addColumn<int>("ticks");
    QTest::addColumn<bool>("byTitleBar");
    QTest::newRow("Cancel at once") << 0 << false;
    QTest::newRow("Cancel after the tick that showed 1") << 29 << false;
    QTest::newRow("title bar after 10 ticks") << 10 << true;
    QTest::newRow("title bar after the tick that showed 1") << 29 << true;
}

void ShutDownFormTest::cancelPreventsThePowerOff()
{
    QFETCH(int, ticks);
    QFETCH(bool, byTitleBar);
    MemoryRuntime runtime;
    Opened opened(runtime);
    MemoryWindow &window = opened.memory();
    for (int i = 0; i < ticks; ++i)
        window.tick("tmrShutDown");
    if (byTitleBar)
        window.close();
    else
        window.click("cmdCancel");
    QVERIFY(!opened.warning().isLoaded());
    QVERIFY(!window.isModal());
    for (int i = 0; i < 40; ++i)
        QVERIFY(!window.tick("tmrShutDown"));
    QCOMPARE(opened.platform.requests(), 0);
}

void ShutDownFormTest::everyShowingStartsAt30()
{
    MemoryRuntime runtime;
    Opened opened(runtime);
    for (int i = 0; i < 12; ++i)
        opened.memory().tick("tmrShutDown");
    opened.memory().click("cmdCancel");
    confirm::ShutDownForm *first = opened.form.shutDownForm();

    opened.form.tmrQuickTimer_Timer();
    QCOMPARE(opened.form.shutDownForm(), first); // one shared instance
    QVERIFY(first->isLoaded());
    QCOMPARE(first->secondsLeft(), std::int16_t{30});
    QCOMPARE(opened.memory().label("lblStatus").caption(), message(30));
    opened.memory().tick("tmrShutDown");
    QCOMPARE(opened.memory().label("lblStatus").caption(), message(29));
}

void ShutDownFormTest::refusalIsReported()
{
    MemoryRuntime runtime;
    Opened opened(runtime);
    opened.platform.failing.insert("ExitWindowsEx");
    for (int i = 0; i < 30; ++i)
        opened.memory().tick("tmrShutDown");
    const std::string failure = "Could not turn off the computer: Access is denied";
    QCOMPARE(opened.memory().label("lblStatus").caption(), failure);
    QCOMPARE(opened.memory().toolTip("lblStatus"), failure);
    QCOMPARE(opened.platform.requests(), 1);
    opened.memory().click("cmdCancel");
    QVERIFY(!opened.warning().isLoaded());
    QVERIFY(runtime.fatalErrors.empty());
}

void ShutDownFormTest::lateAnswerAfterCancelIsIgnored()
{
    MemoryRuntime runtime;
    Opened opened(runtime);
    opened.platform.answerLater = true;
    for (int i = 0; i < 30; ++i)
        opened.memory().tick("tmrShutDown");
    opened.memory().click("cmdCancel");
    opened.platform.answer("too late");
    QVERIFY(!opened.warning().isLoaded());
    QCOMPARE(opened.memory().label("lblStatus").caption(), message(0));
}

QTEST_MAIN(ShutDownFormTest)
#include "tst_shutdownform.moc"
