#include "confirm/shutdownform.h"
#include "memoryruntime.h"
#include "recordingplatform.h"
#include "timer/mainform.h"

#include <QTest>

#include <random>

namespace {

const char *const Fields[] = {"lblQTimerHour", "lblQTimerMinute", "lblQTimerSecond"};
const char *const Spinners[] = {"scrollHours", "scrollMinutes", "scrollSeconds"};
const int Limits[] = {23, 59, 59};

// The main window and its warning, driven as a user and a clock would.
struct Program {
    Program() : form(runtime, platform) {}
    MemoryWindow &main() { return static_cast<MemoryWindow &>(form.window()); }
    MemoryWindow *warning()
    {
        auto *shutDown = form.shutDownForm();
        return shutDown && shutDown->isLoaded() ? static_cast<MemoryWindow *>(shutDown->window())
                                                : nullptr;
    }
    std::string shown()
    {
        return main().label(Fields[0]).caption() + ":" + main().label(Fields[1]).caption() + ":" +
               main().label(Fields[2]).caption();
    }
    void set(int h, int m, int s)
    {
        main().scrollBar(Spinners[0]).setPosition(h);
        main().scrollBar(Spinners[1]).setPosition(m);
        main().scrollBar(Spinners[2]).setPosition(s);
    }
    bool running() { return main().timer("tmrQuickTimer").enabled(); }
    std::string caption() { return main().button("cmdStartQuickTimer").caption(); }
    bool state() { return main().button("cmdStartQuickTimer").state(); }

    MemoryRuntime runtime;
    RecordingPlatform platform;
    timer::MainForm form;
};

} // namespace

class CountdownTest : public QObject {
    Q_OBJECT

private slots:
    void start_data();
    void start();
    void stateTable();
    void stopAndStartAgain();
    void spinnerWhileRunning();
    void randomUse();
};

void CountdownTest::start_data()
{
    QTest::addColumn<int>("h");
    QTest::addColumn<int>("m");
    QTest::addColumn<int>("s");
    QTest::addColumn<QString>("afterFirstTick");
    QTest::newRow("00:00:00 opens the warning on the first tick") << 0 << 0 << 0 << "00:00:00";
    QTest::newRow("00:00:01") << 0 << 0 << 1 << "00:00:00";
    QTest::newRow("00:01:00") << 0 << 1 << 0 << "00:00:59";
    QTest::newRow("01:00:00") << 1 << 0 << 0 << "00:59:59";
    QTest::newRow("23:59:59") << 23 << 59 << 59 << "23:59:58";
}

void CountdownTest::start()
{
    QFETCH(int, h);
    QFETCH(int, m);
    QFETCH(int, s);
    QFETCH(QString, afterFirstTick);
    Program program;
    program.set(h, m, s);
    program.main().click("cmdStartQuickTimer");
    QVERIFY(program.running());
    QCOMPARE(program.caption(), "Timer On");

    // A start at T seconds opens the warning on tick T + 1; the fields reach 00:00:00 on tick T.
    const int total = h * 3600 + m * 60 + s;
    QVERIFY(program.main().tick("tmrQuickTimer"));
    QCOMPARE(QString::fromStdString(program.shown()), afterFirstTick);
    for (int tick = 2; tick <= total + 1; ++tick) {
        QVERIFY(!program.warning());
        QVERIFY(program.main().tick("tmrQuickTimer"));
    }
    QVERIFY(program.warning());
    QCOMPARE(program.shown(), "00:00:00");
    QVERIFY(!program.running());
    QVERIFY(!program.state());
    QCOMPARE(program.caption(), "Timer Off");
    QVERIFY(!program.main().tick("tmrQuickTimer"));
}

void CountdownTest::stateTable()
{
    Program program;
    // Stopped, as created.
    QVERIFY(!program.running() && !program.state() && program.caption() == "Timer Off");
    // Stopped -> Running -> Stopped: the fields keep their value.
    program.set(0, 0, 5);
    program.main().click("cmdStartQuickTimer");
    QVERIFY(program.running() && program.state() && program.caption() == "Timer On");
    program.main().tick("tmrQuickTimer");
    program.main().click("cmdStartQuickTimer");
    QVERIFY(!program.running() && !program.state() && program.caption() == "Timer Off");
    QCOMPARE(program.shown(), "00:00:04");
    // Running -> Stopped by the reset: 00:00:00, and the spinners stay where they were.
    program.set(3, 20, 5);
    program.main().click("cmdStartQuickTimer");
    program.main().click("MyButton2");
    QVERIFY(!program.running() && !program.state() && program.caption() == "Timer Off");
    QCOMPARE(program.shown(), "00:00:00");
    QCOMPARE(program.main().scrollBar("scrollHours").position(), 3);
    QCOMPARE(program.main().scrollBar("scrollMinutes").position(), 20);
    // Reset while stopped does the same, and the next click starts.
    program.main().click("MyButton2");
    QCOMPARE(program.shown(), "00:00:00");
    program.main().click("cmdStartQuickTimer");
    QVERIFY(program.running() && program.state());
    // Running -> Confirming -> Stopped by Cancel.
    program.main().tick("tmrQuickTimer");
    QVERIFY(program.warning());
    QVERIFY(!program.running() && !program.state() && program.caption() == "Timer Off");
    program.warning()->click("cmdCancel");
    QVERIFY(!program.warning());
    QCOMPARE(program.shown(), "00:00:00");
    QCOMPARE(program.caption(), "Timer Off");
    // A new start at 00:00:00 opens a fresh warning one tick later, counting from 30.
    program.main().click("cmdStartQuickTimer");
    program.main().tick("tmrQuickTimer");
    QVERIFY(program.warning());
    QCOMPARE(program.form.shutDownForm()->secondsLeft(), std::int16_t{30});
    QCOMPARE(program.platform.requests(), 0);
}

void CountdownTest::stopAndStartAgain()
{
    Program program;
    program.set(0, 0, 7);
    program.main().click("cmdStartQuickTimer");
    program.main().tick("tmrQuickTimer");
    program.main().tick("tmrQuickTimer");
    program.main().click("cmdStartQuickTimer");
    QCOMPARE(program.shown(), "00:00:05");
    QVERIFY(!program.main().tick("tmrQuickTimer"));
    program.main().click("cmdStartQuickTimer");
    program.main().tick("tmrQuickTimer");
    QCOMPARE(program.shown(), "00:00:04");
}

void CountdownTest::spinnerWhileRunning()
{
    Program program;
    program.set(0, 2, 0);
    program.main().click("cmdStartQuickTimer");
    program.main().tick("tmrQuickTimer");
    QCOMPARE(program.shown(), "00:01:59");
    // The minutes spinner still stands at 2: one step up shows 03 at once.
    program.main().step("scrollMinutes", 1);
    QCOMPARE(program.shown(), "00:03:59");
    program.main().tick("tmrQuickTimer");
    QCOMPARE(program.shown(), "00:03:58");
}

void CountdownTest::randomUse()
{
    // Random sequences of everything a user and the clock can do, checked against a small
    // model of the state table. A failure names the seed and the step to replay.
    struct Model {
        int fields[3] = {0, 0, 0};
        int spinners[3] = {0, 0, 0};
        bool running = false;
        bool confirming = false;
        int left = 0; // the warning's count
        int requests = 0;
    };
    const unsigned seed = qEnvironmentVariableIsSet("VELTRANE_SEED")
                              ? qEnvironmentVariableIntValue("VELTRANE_SEED")
                              : 20261206u;
    std::mt19937 random(seed);
    for (int run = 0; run < 2000; ++run) {
        Program program;
        Model model;
        for (int step = 0; step < 80; ++step) {
            const int action = std::uniform_int_distribution<int>(0, 7)(random);
            const int which = std::uniform_int_distribution<int>(0, 2)(random);
            QString did;
            if (model.confirming) {
                // Only the warning takes input now.
                MemoryWindow &warning = *program.warning();
                if (action < 2) {
                    did = QStringLiteral("cancel");
                    action == 0 ? warning.click("cmdCancel") : warning.close();
                    model.confirming = false;
                } else if (action < 5) {
                    did = QStringLiteral("warning tick");
                    const bool fired = warning.tick("tmrShutDown");
                    QCOMPARE(fired, model.left > 0);
                    if (model.left > 0 && --model.left == 0)
                        ++model.requests;
                } else {
                    did = QStringLiteral("let the warning run out");
                    while (warning.tick("tmrShutDown")) {
                    }
                    if (model.left > 0)
                        ++model.requests;
                    model.left = 0;
                }
            } else if (action < 3) {
                const int delta = random() % 2 ? 1 : -1;
                did = QStringLiteral("spinner %1 by %2").arg(which).arg(delta);
                program.main().step(Spinners[which], delta);
                int &position = model.spinners[which];
                position += delta;
                if (position > Limits[which])
                    position = 0;
                else if (position < 0)
                    position = Limits[which];
                model.fields[which] = position;
            } else if (action == 3) {
                did = QStringLiteral("start/stop");
                program.main().click("cmdStartQuickTimer");
                model.running = !model.running;
            } else if (action == 4) {
                did = QStringLiteral("reset");
                program.main().click("MyButton2");
                model.running = false;
                std::fill(std::begin(model.fields), std::end(model.fields), 0);
            } else {
                did = QStringLiteral("tick");
                QCOMPARE(program.main().tick("tmrQuickTimer"), model.running);
                if (model.running) {
                    int total = model.fields[0] * 3600 + model.fields[1] * 60 + model.fields[2];
                    if (total > 0) {
                        --total;
                        model.fields[0] = total / 3600;
                        model.fields[1] = total % 3600 / 60;
                        model.fields[2] = total % 60;
                    } else {
                        model.running = false;
                        model.confirming = true;
                        model.left = 30;
                    }
                }
            }

            const QString where = QStringLiteral("seed %1, run %2, step %3 (%4)")
                                      .arg(seed)
                                      .arg(run)
                                      .arg(step)
                                      .arg(did);
            for (int i = 0; i < 3; ++i) {
                const std::string text = program.main().label(Fields[i]).caption();
                const std::string expected = QStringLiteral("%1")
                                                 .arg(model.fields[i], 2, 10, QLatin1Char('0'))
                                                 .toStdString();
                QVERIFY2(text == expected, qPrintable(where + ": field " + text.c_str()));
                QVERIFY2(text.size() == 2, qPrintable(where));
            }
            QVERIFY2(program.running() == model.running, qPrintable(where));
            QVERIFY2(program.running() == (program.caption() == "Timer On"), qPrintable(where));
            QVERIFY2(program.state() == model.running, qPrintable(where));
            QVERIFY2((program.warning() != nullptr) == model.confirming, qPrintable(where));
            QVERIFY2(program.platform.requests() == model.requests, qPrintable(where));
            QVERIFY2(program.runtime.fatalErrors.empty(), qPrintable(where));
        }
    }
}

QTEST_GUILESS_MAIN(CountdownTest)
#include "tst_countdown.moc"
