#include "displaybench.h"

#include "ui/definition.h"
#include "ui/forms.h"

#include <QCoreApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRect>
#include <QTimer>

#include <cmath>
#include <functional>
#include <map>

namespace {

using namespace std::chrono_literals;

// Memory may still grow just after the first paint (a late font, a second layout pass).
constexpr int SettleMs = 300;
constexpr int CountdownSeconds = 120;

// Turns the event loop, which reads the X server and the bus, until done() or time is up.
bool waitFor(const std::function<bool()> &done, int ms)
{
    const QDeadlineTimer deadline(ms, Qt::PreciseTimer);
    QTimer wake; // ends the last wait on time
    wake.setTimerType(Qt::PreciseTimer);
    wake.setSingleShot(true);
    wake.start(ms);
    while (!done()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    }
    return true;
}

double msBetween(Clock::time_point from, Clock::time_point to)
{
    return std::chrono::duration<double, std::milli>(to - from).count();
}

void pauseUntil(Clock::time_point when)
{
    waitFor([] { return false; }, static_cast<int>(std::ceil(msBetween(Clock::now(), when))));
}

void pause(int ms)
{
    pauseUntil(Clock::now() + std::chrono::milliseconds(ms));
}

QByteArray readProc(qint64 pid, const QString &file)
{
    QFile proc(QStringLiteral("/proc/%1/%2").arg(pid).arg(file));
    return proc.open(QIODevice::ReadOnly) ? proc.readAll() : QByteArray();
}

// A "Name:   1234 kB" line's number.
double field(const QByteArray &text, const char *name)
{
    for (const QByteArray &line : text.split('\n'))
        if (line.startsWith(name))
            return line.mid(qstrlen(name)).simplified().split(' ').value(0).toDouble();
    return -1;
}

// Per thread: time on a CPU and voluntary context switches. A thread that ends between two
// readings takes what it did since the first with it.
struct Thread {
    double cpuNs = 0;
    double wakeups = 0;
};

std::map<int, Thread> threadsOf(qint64 pid)
{
    std::map<int, Thread> threads;
    const QDir tasks(QStringLiteral("/proc/%1/task").arg(pid));
    for (const QString &tid : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QString task = QStringLiteral("task/%1/").arg(tid);
        threads[tid.toInt()] = {readProc(pid, task + "schedstat").split(' ')[0].toDouble(),
                                field(readProc(pid, task + "status"), "voluntary_ctxt_switches:")};
    }
    return threads;
}

Thread spentBetween(const std::map<int, Thread> &first, const std::map<int, Thread> &last)
{
    Thread spent;
    for (const auto &[tid, thread] : last) {
        const auto before = first.find(tid);
        const Thread start = before == first.end() ? Thread() : before->second;
        spent.cpuNs += thread.cpuNs - start.cpuNs;
        spent.wakeups += thread.wakeups - start.wakeups;
    }
    return spent;
}

// A control's place in its window, in pixels at 96 dpi.
QRect pixelsOf(const ui::WindowDefinition &window, const std::string &name)
{
    for (const ui::ControlDefinition &control : window.controls)
        if (control.name == name) {
            const QRect rect(
                control.twips.left / ui::TwipsPerPixel, control.twips.top / ui::TwipsPerPixel,
                control.twips.width / ui::TwipsPerPixel, control.twips.height / ui::TwipsPerPixel);
            return control.container.empty()
                       ? rect
                       : rect.translated(pixelsOf(window, control.container).topLeft());
        }
    return {};
}

void stop(QProcess &process)
{
    process.terminate();
    if (!process.waitForFinished(3000)) {
        process.kill();
        process.waitForFinished();
    }
}

} // namespace

DisplayBench::DisplayBench(XDisplay &display, QProcessEnvironment environment, QString pluginDir)
    : m_display(display), m_environment(std::move(environment)), m_pluginDir(std::move(pluginDir))
{
}

std::optional<StartupSample> DisplayBench::startup(const QString &program,
                                                   const QStringList &arguments)
{
    QProcessEnvironment environment = m_environment;
    environment.insert(QStringLiteral("QT_PLUGIN_PATH"), m_pluginDir);
    environment.insert(QStringLiteral("QT_QPA_GENERIC_PLUGINS"), QStringLiteral("benchfirstpaint"));
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_display.forget();

    const Clock::time_point started = Clock::now();
    process.start(program, arguments);
    QByteArray out;
    const bool shown = waitFor(
        [&] {
            out += process.readAllStandardOutput();
            return !m_display.mapped().empty() && out.contains('\n');
        },
        10000);
    std::optional<StartupSample> sample;
    const QList<QByteArray> words = out.trimmed().split(' ');
    if (shown && words.size() == 2 && words[0] == "first-paint-ns") {
        pause(SettleMs);
        const QByteArray status = readProc(process.processId(), "status");
        const Clock::time_point painted{std::chrono::nanoseconds(words[1].toLongLong())};
        sample = StartupSample{msBetween(started, m_display.mapped().front().at),
                               msBetween(started, painted), field(status, "VmRSS:") / 1024,
                               field(status, "VmHWM:") / 1024,
                               field(readProc(process.processId(), "smaps_rollup"), "Pss:") / 1024};
    }
    stop(process);
    return sample;
}

std::optional<CountdownSample> DisplayBench::countdown(const QString &program,
                                                       const QStringList &arguments)
{
    const bool baseline = arguments.contains(QLatin1String("--tick"));
    QProcess process;
    process.setProcessEnvironment(m_environment);
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_display.forget();
    process.start(program, arguments);

    const auto measure = [&]() -> std::optional<CountdownSample> {
        if (!waitFor([&] { return !m_display.mapped().empty(); }, 10000))
            return {};
        const xcb_window_t window = m_display.mapped().front().window;
        pause(500); // painted and settled
        m_display.watch(window);
        const QPoint origin = m_display.origin(window);
        const QRect minutes = pixelsOf(ui::frmMain(), "scrollMinutes").translated(origin);
        const QRect start = pixelsOf(ui::frmMain(), "cmdStartQuickTimer").translated(origin);

        // Two minutes: the minutes spinner's upper arrow, twice.
        m_display.moveTo({minutes.center().x(), minutes.top() + 3});
        for (int minute = 0; !baseline && minute < CountdownSeconds / 60; ++minute) {
            pause(100);
            m_display.press(true);
            m_display.press(false);
        }
        pause(300);
        // Start, pressed and then let go: the window shows the countdown has begun.
        m_display.moveTo(start.center());
        pause(300);
        m_display.press(true);
        pause(100);
        const std::size_t before = m_display.damaged().size();
        m_display.press(false);
        if (!waitFor([&] { return m_display.damaged().size() > before; }, 1000))
            return {};
        const Clock::time_point started = m_display.damaged()[before].at;
        // Out of the way, so that no tooltip comes and goes in the minute measured.
        pause(200);
        m_display.moveTo(origin - QPoint(20, 20));

        // A minute between two ticks' midpoints holds exactly one minute of ticks. The first
        // minute also draws each digit once at each place it falls on; the second is what every
        // later minute costs.
        pauseUntil(started + 500ms);
        const auto first = threadsOf(process.processId());
        pauseUntil(started + 500ms + 60s);
        const auto second = threadsOf(process.processId());
        pauseUntil(started + 500ms + std::chrono::seconds(CountdownSeconds));
        const auto last = threadsOf(process.processId());
        CountdownSample sample;
        sample.warningDriftMs = NAN;
        if (!baseline && !waitFor([&] { return !m_display.mapped().empty(); }, 5000))
            return {};
        if (!baseline)
            sample.warningDriftMs = msBetween(started + std::chrono::seconds(CountdownSeconds + 1),
                                              m_display.mapped().front().at);
        sample.firstMinuteCpuMs = spentBetween(first, second).cpuNs / 1e6;
        const Thread spent = spentBetween(second, last);
        sample.cpuMsPerMinute = spent.cpuNs / 1e6 * 60 / (CountdownSeconds - 60);
        sample.wakeupsPerMinute = spent.wakeups * 60 / (CountdownSeconds - 60);
        // Each tick's first repaint, against the schedule the Start click's repaint set.
        long next = 1;
        for (const XDisplay::Seen &damage : m_display.damaged()) {
            const double ms = msBetween(started, damage.at);
            const long tick = std::lround(ms / 1000);
            if (tick >= next && tick <= CountdownSeconds) {
                sample.latenessMs.push_back(ms - tick * 1000.0);
                next = tick + 1;
            }
        }
        if (sample.latenessMs.size() != CountdownSeconds)
            return {}; // a tick never showed
        return sample;
    };
    const std::optional<CountdownSample> sample = measure();
    stop(process);
    return sample;
}
