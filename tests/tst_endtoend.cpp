#include "confirm/shutdownform.h"
#include "poweroff/dryrunplatform.h"
#include "timer/mainform.h"
#include "ui/qt/qtruntime.h"
#include "ui/qt/qtwindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QScrollBar>
#include <QTest>
#include <QTimer>

#include <memory>
#include <sstream>

#ifdef _WIN32
#include "poweroff/win32platform.h"
using SystemPlatform = poweroff::Win32Platform;
#else
#include "poweroff/logindplatform.h"
using SystemPlatform = poweroff::LogindPlatform;
#endif

// The whole journey in real time, wired as the program wires it in --dry-run: the Qt windows,
// the system's road for everything before the request, and the dry run for the request.
class EndToEndTest : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void runOutAndPowerOff();
    void cancelAsksNothing();
    void closingTheMainWindowEndsTheProgram();

private:
    QWidget *main() const { return static_cast<ui::qt::QtWindow &>(m_form->window()).widget(); }
    QWidget *warning() const
    {
        const confirm::ShutDownForm *shutDown = m_form->shutDownForm();
        return shutDown && shutDown->isLoaded()
                   ? static_cast<ui::qt::QtWindow *>(shutDown->window())->widget()
                   : nullptr;
    }
    void setAndStart(int seconds);

    std::unique_ptr<ui::qt::QtRuntime> m_runtime;
    std::unique_ptr<SystemPlatform> m_system;
    std::ostringstream m_out;
    std::unique_ptr<poweroff::DryRunPlatform> m_dryRun;
    std::unique_ptr<timer::MainForm> m_form;
};

void EndToEndTest::init()
{
    m_out.str({});
    m_runtime = std::make_unique<ui::qt::QtRuntime>();
    m_system = std::make_unique<SystemPlatform>();
    m_dryRun = std::make_unique<poweroff::DryRunPlatform>(*m_system, m_out);
    m_form = std::make_unique<timer::MainForm>(*m_runtime, *m_dryRun);
    m_form->window().show();
    QVERIFY(QTest::qWaitForWindowActive(main()));
}

void EndToEndTest::cleanup()
{
    m_form.reset();
    m_dryRun.reset();
    m_system.reset();
    m_runtime.reset();
}

void EndToEndTest::setAndStart(int seconds)
{
    auto *spinner = main()->findChild<QScrollBar *>(QStringLiteral("scrollSeconds"));
    for (int i = 0; i < seconds; ++i)
        spinner->triggerAction(QAbstractSlider::SliderSingleStepSub); // the upper arrow
    QCOMPARE(main()->findChild<QLabel *>(QStringLiteral("lblQTimerSecond"))->text(),
             QStringLiteral("%1").arg(seconds, 2, 10, QLatin1Char('0')));
    QTest::mouseClick(main()->findChild<QWidget *>(QStringLiteral("cmdStartQuickTimer")),
                      Qt::LeftButton);
}

void EndToEndTest::runOutAndPowerOff()
{
    QElapsedTimer clock;
    setAndStart(2);
    clock.start();
    QTRY_VERIFY_WITH_TIMEOUT(warning(), 6000);
    const qint64 opened = clock.elapsed();
    QVERIFY2(opened > 2800 && opened < 3500, qPrintable(QString::number(opened)));
    QCOMPARE(main()->findChild<QLabel *>(QStringLiteral("lblQTimerSecond"))->text(),
             QStringLiteral("00"));

    const std::string line = "dry run: power-off requested (flags 5)\n";
    QTRY_VERIFY_WITH_TIMEOUT(m_out.str() == line, 35000);
    const qint64 requested = clock.elapsed() - opened;
    QVERIFY2(requested > 29500 && requested < 31000, qPrintable(QString::number(requested)));
    QTest::qWait(1200); // asked once: no second line a second later
    QCOMPARE(m_out.str(), line);
    QVERIFY(warning()->isVisible());
}

void EndToEndTest::cancelAsksNothing()
{
    setAndStart(0);
    QTRY_VERIFY_WITH_TIMEOUT(warning(), 3000);
    QWidget *shown = warning();
    QTest::qWait(1100);
    QTest::mouseClick(shown->findChild<QWidget *>(QStringLiteral("cmdCancel")), Qt::LeftButton);
    QVERIFY(!warning());
    QVERIFY(!shown->isVisible());
    QTest::qWait(1500);
    QCOMPARE(m_out.str(), std::string());
    QCOMPARE(main()
                 ->findChild<QWidget *>(QStringLiteral("cmdStartQuickTimer"))
                 ->property("caption")
                 .toString(),
             QStringLiteral("Timer Off"));
}

void EndToEndTest::closingTheMainWindowEndsTheProgram()
{
    setAndStart(0);
    QTRY_VERIFY_WITH_TIMEOUT(warning(), 3000);
    // Closing the main window ends the event loop at once, warning or not; nothing is asked.
    QTimer::singleShot(100, main(), [this] { main()->close(); });
    QTimer::singleShot(5000, qApp, [] { QCoreApplication::exit(99); }); // a safety net
    QElapsedTimer clock;
    clock.start();
    QCOMPARE(QApplication::exec(), 0);
    QVERIFY(clock.elapsed() < 2000);
    QCOMPARE(m_out.str(), std::string());
}

QTEST_MAIN(EndToEndTest)
#include "tst_endtoend.moc"
