// The whole journey in real seconds, as the program runs it with --dry-run: a start at
// 00:00:02 opens the warning 3 s later, and the request comes 30 s after that. The suite runs
// the same journey with its seconds shortened; this says how close the real seconds keep.
// Usage: bench_realtime   (scripts/bench runs it; about 35 s)
#include "app/program.h"
#include "confirm/shutdownform.h"
#include "qt/qtruntime.h"
#include "qt/qtwindow.h"
#include "qt/ticktimer.h"
#include "quietroad.h"

#include <QElapsedTimer>
#include <QTest>

class RealTime : public QObject {
    Q_OBJECT

private slots:
    void journey();
};

void RealTime::journey()
{
    ui::qt::QtRuntime runtime;
    QuietRoad system; // behind the dry run, which never passes the request on
    std::string out;
    const auto print = [&out](const std::string &line) { out += line + "\n"; };
    app::Program program(app::CommandLine::parse({"--dry-run"}), runtime, system, print);
    timer::MainForm &form = program.form();
    QWidget *main = static_cast<ui::qt::QtWindow &>(form.window()).widget();
    // Each moment is taken as the handler that made it returns.
    QElapsedTimer clock;
    qint64 opened = -1;
    qint64 requested = -1;
    const auto ticked = [&] {
        if (opened < 0 && form.shutDownForm() && form.shutDownForm()->isLoaded()) {
            opened = clock.elapsed();
            connect(static_cast<ui::qt::QtWindow *>(form.shutDownForm()->window())
                        ->widget()
                        ->findChild<ui::qt::TickTimer *>("tmrShutDown"),
                    &ui::qt::TickTimer::timeout, this, [&] {
                        if (requested < 0 && !out.empty())
                            requested = clock.elapsed() - opened;
                    });
        }
    };
    connect(main->findChild<ui::qt::TickTimer *>("tmrQuickTimer"), &ui::qt::TickTimer::timeout,
            this, ticked);
    form.window().scrollBar("scrollSeconds").setPosition(2);
    QTest::mouseClick(main->findChild<QWidget *>("cmdStartQuickTimer"), Qt::LeftButton);
    clock.start();
    QTRY_VERIFY_WITH_TIMEOUT(requested >= 0, 40000);
    QTest::qWait(1200); // asked once: no second line a second later
    qInfo("warning opened after %lld ms (3000 due), request %lld ms later (30000 due)", opened,
          requested);
    QVERIFY2(qAbs(opened - 3000) < 50, "the warning came 50 ms or more off");
    QVERIFY2(qAbs(requested - 30000) < 50, "the request came 50 ms or more off");
    QCOMPARE(out, std::string("dry run: power-off requested (flags 5)\n"));
}

QTEST_MAIN(RealTime)
#include "realtime.moc"
