#include "ui/qt/ticktimer.h"

#include <QSignalSpy>
#include <QTest>
#include <QThread>

using ui::qt::TickTimer;

Q_DECLARE_METATYPE(Qt::TimerType)

// Timing itself is the benchmark's business; these check what a tick does, briefly, in real time.
class TickTimerTest : public QObject {
    Q_OBJECT

private slots:
    void ticksUntilStopped_data();
    void ticksUntilStopped();
    void ticksMissedAreDropped_data() { ticksUntilStopped_data(); }
    void ticksMissedAreDropped();
    void restartedByNewInterval();
};

void TickTimerTest::ticksUntilStopped_data()
{
    QTest::addColumn<Qt::TimerType>("type");
    QTest::newRow("precise") << Qt::PreciseTimer; // the kernel's timer on Linux
    QTest::newRow("coarse") << Qt::CoarseTimer;   // a QTimer
}

void TickTimerTest::ticksUntilStopped()
{
    QFETCH(Qt::TimerType, type);
    TickTimer timer;
    timer.setTimerType(type);
    timer.setInterval(20);
    QSignalSpy ticks(&timer, &TickTimer::timeout);
    QVERIFY(!timer.isActive());
    timer.start();
    QVERIFY(timer.isActive());
    QTRY_VERIFY(ticks.count() >= 3);

    // Stopped from its own tick: no tick comes after it, not even one already due.
    connect(&timer, &TickTimer::timeout, &timer, &TickTimer::stop);
    QTRY_VERIFY(!timer.isActive());
    const qsizetype stoppedAt = ticks.count();
    QThread::msleep(50);
    QTest::qWait(50);
    QCOMPARE(ticks.count(), stoppedAt);
}

void TickTimerTest::ticksMissedAreDropped()
{
    QFETCH(Qt::TimerType, type);
    TickTimer timer;
    timer.setTimerType(type);
    timer.setInterval(20);
    QSignalSpy ticks(&timer, &TickTimer::timeout);
    timer.start();
    QThread::msleep(130); // the event loop is held up for six intervals
    QTest::qWait(5);
    QCOMPARE(ticks.count(), 1);
}

void TickTimerTest::restartedByNewInterval()
{
    TickTimer timer;
    timer.setInterval(10000);
    timer.start();
    QSignalSpy ticks(&timer, &TickTimer::timeout);
    timer.setInterval(20);
    QVERIFY(timer.isActive());
    QVERIFY(ticks.wait(1000));
    timer.stop();
    timer.setInterval(20);
    QVERIFY(!timer.isActive());
}

QTEST_GUILESS_MAIN(TickTimerTest)
#include "tst_ticktimer.moc"
