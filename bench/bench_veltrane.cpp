// Measures what the tests must not time: start-up, memory, CPU at rest and the countdown's
// precision. Usage: bench_veltrane [SECONDS]  (the countdown to time, 60 by default).
// The request at the end goes to the dry run: nothing is ever powered off.
#include "confirm/shutdownform.h"
#include "poweroff/dryrunplatform.h"
#include "poweroff/logindplatform.h"
#include "timer/mainform.h"
#include "ui/qt/qtruntime.h"
#include "ui/qt/qtwindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QTimer>

#include <sys/resource.h>

#include <cstdio>
#include <functional>
#include <sstream>

namespace {

long residentKiB()
{
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray &line : status.readAll().split('\n'))
        if (line.startsWith("VmRSS:"))
            return line.mid(6).trimmed().split(' ').value(0).toLong();
    return -1;
}

double cpuSeconds()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

class ShowWatcher final : public QObject {
public:
    explicit ShowWatcher(std::function<void()> shown) : m_shown(std::move(shown)) {}

protected:
    bool eventFilter(QObject *object, QEvent *event) override
    {
        if (event->type() == QEvent::Show && object->objectName() == QLatin1String("frmShutDown"))
            m_shown();
        return false;
    }

private:
    std::function<void()> m_shown;
};

} // namespace

int main(int argc, char *argv[])
{
    QElapsedTimer sinceStart;
    sinceStart.start();
    QApplication application(argc, argv);
    const int seconds = argc > 1 ? std::atoi(argv[1]) : 60;

    ui::qt::QtRuntime runtime;
    poweroff::LogindPlatform system;
    std::ostringstream requests;
    poweroff::DryRunPlatform dryRun(system, requests);
    timer::MainForm form(runtime, dryRun);
    form.window().show();
    QApplication::processEvents();
    std::printf("start-up to a shown main window: %lld ms\n", sinceStart.elapsed());
    std::printf("resident memory with the main window: %ld KiB\n", residentKiB());

    // Start a countdown of SECONDS and time when the warning opens: it should be SECONDS + 1.
    form.ShowQuickTimerSeconds(seconds);
    form.window().button("cmdStartQuickTimer").setState(true);
    QElapsedTimer clock;
    clock.start();
    form.cmdStartQuickTimer_Click();
    const double cpuBefore = cpuSeconds();
    // Catch the warning as it is shown: polling would cost the very CPU being measured.
    ShowWatcher watcher([&] {
        const qint64 took = clock.elapsed();
        const double cpu = cpuSeconds() - cpuBefore;
        std::printf("warning opened after %lld ms for a %d s countdown (expected %d ms, off by "
                    "%lld ms)\n",
                    took, seconds, (seconds + 1) * 1000, took - (seconds + 1) * 1000);
        std::printf("CPU while counting down: %.3f s over %.1f s (%.3f %%)\n", cpu, took / 1000.0,
                    100.0 * cpu / (took / 1000.0));
        QTimer::singleShot(0, qApp, &QCoreApplication::quit);
    });
    application.installEventFilter(&watcher);
    return QApplication::exec();
}
