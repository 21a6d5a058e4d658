#include "ui/qt/ticktimer.h"

#include <QSignalSpy>
#include <QTest>
#include <QThread>

using ui::qt::TickTimer;

Q_DECLARE_METATYPE(Qt::TimerType)

// A timer of the given type ticking every 20 ms, and the ticks it has given.
struct Ticking {
    explicit Ticking(Qt::TimerType type)
    {
        timer.setTimerType(type);
        timer.setInterval(20);
        timer.start();
    }
    TickTimer timer;
    QSignalSpy ticks{&timer, &TickTimer::timeout};
};

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
    Ticking ticking(type);
    QVERIFY(ticking.timer.isActive());
    QTRY_VERIFY(ticking.ticks.count() >= 3);

    // Stopped from its own tick: no tick comes after it, not even one already due.
    connect(&ticking.timer, &TickTimer::timeout, &ticking.timer, &TickTimer::stop);
    QTRY_VERIFY(!ticking.timer.isActive());
    const qsizetype stoppedAt = ticking.ticks.count();
    QThread::msleep(50);
    QTest::qWait(50);
    QCOMPARE(ticking.ticks.count(), stoppedAt);
}

void TickTimerTest::ticksMissedAreDropped()
{
    QFETCH(Qt::TimerType, type);
    Ticking ticking(type);
    QThread::msleep(130); // the event loop is held up for six intervals
    QTest::qWait(5);
    // One tick for all six; a second may follow on time on a slow machine.
    QVERIFY2(ticking.ticks.count() >= 1 && ticking.ticks.count() <= 2,
             qPrintable(QString::number(ticking.ticks.count())));
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
