// Benchmarks, not tests: how precisely the countdown ticks, how fast the program starts and
// what it costs at rest, each beside a baseline measured in the same run.
// Usage: bench_veltrane [--json FILE] [--ticks N] [--runs N]   (scripts/bench runs it)
// Power-off requests go to a road that asks the system nothing, and every warning is cancelled
// the moment it opens.
#include "countdownprobe.h"
#include "startupprobe.h"

#include "quietroad.h"
#include "ui/qt/qtruntime.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSysInfo>
#include <QThread>

#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cmath>
#include <csignal>
#include <cstdio>
#include <vector>

namespace {

struct Countdown {
    std::vector<double> lateness; // ms off the schedule, one per tick: early counts as late
    double driftMs = 0;
    double cpuMsPerMinute = 0;
    double wakeupsPerMinute = 0;
};

// Nearest rank: the value that P percent of the samples do not exceed.
double percentile(std::vector<double> values, double p)
{
    if (values.empty())
        return NAN;
    std::sort(values.begin(), values.end());
    const auto rank = static_cast<std::size_t>(std::ceil(p / 100 * values.size()));
    return values[std::clamp<std::size_t>(rank, 1, values.size()) - 1];
}

double median(const std::vector<double> &values)
{
    return percentile(values, 50);
}

struct Usage {
    double cpuMs;
    long wakeups; // voluntary context switches: each is a sleep ended by a wake-up
};

Usage usageNow()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    const auto ms = [](const timeval &time) { return time.tv_sec * 1e3 + time.tv_usec / 1e3; };
    return {ms(usage.ru_utime) + ms(usage.ru_stime), usage.ru_nvcsw};
}

// Processes that keep every core busy until this goes away, or this process dies.
class BusyLoad {
public:
    explicit BusyLoad(int processes)
    {
        const pid_t parent = getpid();
        for (int i = 0; i < processes; ++i) {
            const pid_t pid = fork();
            if (pid == 0) {
                prctl(PR_SET_PDEATHSIG, SIGKILL);
                if (getppid() != parent)
                    _exit(0);
                volatile unsigned long spins = 0;
                for (;;)
                    spins = spins + 1;
            }
            if (pid > 0)
                m_pids.push_back(pid);
        }
    }
    ~BusyLoad()
    {
        for (const pid_t pid : m_pids) {
            kill(pid, SIGKILL);
            waitpid(pid, nullptr, 0);
        }
    }
    BusyLoad(const BusyLoad &) = delete;
    BusyLoad &operator=(const BusyLoad &) = delete;

private:
    std::vector<pid_t> m_pids;
};

Countdown runCountdown(ui::qt::QtRuntime &runtime, poweroff::Road &road, Qt::TimerType type,
                       int ticks)
{
    CountdownProbe probe(runtime, road, type);
    QApplication::processEvents(); // shown and painted before the clock starts
    const Usage before = usageNow();
    probe.start(ticks - 1); // the warning opens on the tick after the one that shows zero
    while (!probe.finished())
        QApplication::processEvents(QEventLoop::WaitForMoreEvents);
    const Usage after = usageNow();
    QApplication::processEvents(); // lets the cancel run
    const double minutes = probe.elapsedMs() / 60000;
    std::vector<double> lateness = probe.latenessMs();
    for (double &ms : lateness)
        ms = std::abs(ms);
    return {lateness, probe.warningDriftMs(), (after.cpuMs - before.cpuMs) / minutes,
            (after.wakeups - before.wakeups) / minutes};
}

double rounded(double value)
{
    return std::round(value * 1000) / 1000;
}

void row(const char *what, double value, const char *unit, const char *target)
{
    std::printf("  %-44s %10.3f %-6s %s\n", what, value, unit, target);
}

QString machine()
{
    QString model;
    QFile cpuinfo(QStringLiteral("/proc/cpuinfo"));
    if (cpuinfo.open(QIODevice::ReadOnly))
        for (const QByteArray &line : cpuinfo.readAll().split('\n'))
            if (line.startsWith("model name")) {
                model = QString::fromUtf8(line.mid(line.indexOf(':') + 1).trimmed());
                break;
            }
    return QStringLiteral("%1, %2 cores, %3 %4, Qt %5, platform %6")
        .arg(model)
        .arg(QThread::idealThreadCount())
        .arg(QSysInfo::prettyProductName(), QSysInfo::kernelVersion(),
             QString::fromLatin1(qVersion()), QApplication::platformName());
}

} // namespace

int main(int argc, char *argv[])
{
    // Nothing here asks for a power-off; should anything try, it finds no system bus.
    qputenv("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=/nonexistent/veltrane-bench-bus");
    QApplication application(argc, argv);

    QCommandLineParser parser;
    parser.addHelpOption();
    const QCommandLineOption jsonOption(QStringLiteral("json"),
                                        QStringLiteral("Write the figures to FILE."),
                                        QStringLiteral("FILE"));
    const QCommandLineOption ticksOption(QStringLiteral("ticks"),
                                         QStringLiteral("Ticks per countdown (120)."),
                                         QStringLiteral("N"), QStringLiteral("120"));
    const QCommandLineOption runsOption(QStringLiteral("runs"),
                                        QStringLiteral("Start-ups of each program (15)."),
                                        QStringLiteral("N"), QStringLiteral("15"));
    parser.addOptions({jsonOption, ticksOption, runsOption});
    parser.process(application);
    const int ticks = std::max(2, parser.value(ticksOption).toInt());
    const int runs = std::max(1, parser.value(runsOption).toInt());

    const QString here = QCoreApplication::applicationDirPath();
    const QString veltrane = here + QStringLiteral("/../veltrane");
    const QString bare = here + QStringLiteral("/bench_bare_window");
    const QString plugins = here + QStringLiteral("/plugins");

    std::printf("Machine: %s\n", qPrintable(machine()));
    std::printf("Start-up: %d runs of each program, in turn, after one warm-up of each...\n", runs);
    // Veltrane, the empty window and the window with text take turns, so that whatever else
    // the machine does falls on all three alike.
    const struct {
        QString program;
        QStringList arguments;
    } programs[] = {
        {veltrane, {QStringLiteral("--dry-run")}}, {bare, {}}, {bare, {QStringLiteral("--text")}}};
    std::vector<double> startup[3], memory[3];
    for (int run = -1; run < runs; ++run) {
        for (int i = 0; i < 3; ++i) {
            const StartupSample sample =
                measureStartup(programs[i].program, programs[i].arguments, plugins);
            if (!sample.ok()) {
                std::fprintf(stderr, "bench: %s reported no first paint (is %s built?)\n",
                             qPrintable(programs[i].program), qPrintable(plugins));
                return 1;
            }
            if (run < 0)
                continue; // the warm-up fills the file cache
            startup[i].push_back(sample.toFirstPaintMs);
            memory[i].push_back(sample.peakMiB);
        }
    }

    ui::qt::QtRuntime runtime;
    QuietRoad road;
    std::printf("Countdowns of %d ticks: precise idle, coarse idle, precise under load...\n",
                ticks);
    const Countdown idle = runCountdown(runtime, road, Qt::PreciseTimer, ticks);
    const Countdown coarse = runCountdown(runtime, road, Qt::CoarseTimer, ticks);
    Countdown loaded;
    {
        const BusyLoad load(2);
        loaded = runCountdown(runtime, road, Qt::PreciseTimer, ticks);
    }

    const QJsonObject figures{
        {QStringLiteral("tick_p50_ms_idle"), percentile(idle.lateness, 50)},
        {QStringLiteral("tick_p99_ms_idle"), percentile(idle.lateness, 99)},
        {QStringLiteral("tick_max_ms_idle"), percentile(idle.lateness, 100)},
        {QStringLiteral("warning_drift_ms_idle"), idle.driftMs},
        {QStringLiteral("tick_p50_ms_load"), percentile(loaded.lateness, 50)},
        {QStringLiteral("tick_p99_ms_load"), percentile(loaded.lateness, 99)},
        {QStringLiteral("tick_max_ms_load"), percentile(loaded.lateness, 100)},
        {QStringLiteral("warning_drift_ms_load"), loaded.driftMs},
        {QStringLiteral("coarse_tick_p50_ms_idle"), percentile(coarse.lateness, 50)},
        {QStringLiteral("coarse_tick_p99_ms_idle"), percentile(coarse.lateness, 99)},
        {QStringLiteral("coarse_tick_max_ms_idle"), percentile(coarse.lateness, 100)},
        {QStringLiteral("coarse_warning_drift_ms_idle"), coarse.driftMs},
        {QStringLiteral("tick_p99_ratio_idle"),
         percentile(idle.lateness, 99) / percentile(coarse.lateness, 99)},
        {QStringLiteral("startup_ms"), median(startup[0])},
        {QStringLiteral("startup_bare_ms"), median(startup[1])},
        {QStringLiteral("startup_ratio"), median(startup[0]) / median(startup[1])},
        {QStringLiteral("startup_text_ms"), median(startup[2])},
        {QStringLiteral("startup_text_ratio"), median(startup[0]) / median(startup[2])},
        {QStringLiteral("memory_mb"), median(memory[0])},
        {QStringLiteral("memory_bare_mb"), median(memory[1])},
        {QStringLiteral("memory_ratio"), median(memory[0]) / median(memory[1])},
        {QStringLiteral("memory_text_mb"), median(memory[2])},
        {QStringLiteral("memory_text_ratio"), median(memory[0]) / median(memory[2])},
        {QStringLiteral("cpu_ms_per_min"), idle.cpuMsPerMinute},
        {QStringLiteral("cpu_coarse_ms_per_min"), coarse.cpuMsPerMinute},
        {QStringLiteral("wakeups_per_min"), idle.wakeupsPerMinute},
        {QStringLiteral("wakeups_coarse_per_min"), coarse.wakeupsPerMinute},
        {QStringLiteral("cpu_ratio"), idle.cpuMsPerMinute / coarse.cpuMsPerMinute},
        {QStringLiteral("wakeups_ratio"), idle.wakeupsPerMinute / coarse.wakeupsPerMinute},
        {QStringLiteral("ticks"), ticks},
        {QStringLiteral("startup_runs"), runs},
    };
    QJsonObject json;
    for (auto it = figures.begin(); it != figures.end(); ++it)
        json.insert(it.key(), rounded(it.value().toDouble()));

    const auto value = [&](const char *key) { return json.value(QLatin1String(key)).toDouble(); };
    std::printf("\n  %-44s %10s %-6s %s\n", "what", "measured", "", "target");
    row("tick lateness p50, idle", value("tick_p50_ms_idle"), "ms", "");
    row("tick lateness p99, idle", value("tick_p99_ms_idle"), "ms", "<= 2");
    row("tick lateness max, idle", value("tick_max_ms_idle"), "ms", "");
    row("tick lateness p99, two busy processes", value("tick_p99_ms_load"), "ms", "<= 10");
    row("tick lateness max, two busy processes", value("tick_max_ms_load"), "ms", "");
    row("warning opened after start + T + 1 s, idle", value("warning_drift_ms_idle"), "ms",
        "within 5");
    row("  baseline: coarse timer tick lateness p99", value("coarse_tick_p99_ms_idle"), "ms", "");
    row("  baseline: coarse timer warning drift", value("coarse_warning_drift_ms_idle"), "ms", "");
    row("  ratio of p99s", value("tick_p99_ratio_idle"), "x", "");
    row("start-up to first paint (median)", value("startup_ms"), "ms", "");
    row("  baseline: bare Qt window", value("startup_bare_ms"), "ms", "");
    row("  ratio", value("startup_ratio"), "x", "<= 1.25");
    row("  the same window with one line of text", value("startup_text_ms"), "ms", "");
    row("  ratio to it", value("startup_text_ratio"), "x", "");
    row("peak resident memory (median)", value("memory_mb"), "MiB", "");
    row("  baseline: bare Qt window", value("memory_bare_mb"), "MiB", "");
    row("  ratio", value("memory_ratio"), "x", "<= 1.2");
    row("  the same window with one line of text", value("memory_text_mb"), "MiB", "");
    row("  ratio to it", value("memory_text_ratio"), "x", "");
    row("CPU per minute of countdown, idle", value("cpu_ms_per_min"), "ms", "<= 50");
    row("  baseline: coarse timer", value("cpu_coarse_ms_per_min"), "ms", "");
    row("  ratio", value("cpu_ratio"), "x", "");
    row("wake-ups per minute of countdown, idle", value("wakeups_per_min"), "", "about 60");
    row("  baseline: coarse timer", value("wakeups_coarse_per_min"), "", "");
    row("  ratio", value("wakeups_ratio"), "x", "");

    if (parser.isSet(jsonOption)) {
        QFile file(parser.value(jsonOption));
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
            std::fprintf(stderr, "bench: cannot write %s\n", qPrintable(file.fileName()));
            return 1;
        }
        file.write(QJsonDocument(json).toJson());
        std::printf("\nFigures written to %s\n", qPrintable(file.fileName()));
    }
    return 0;
}
