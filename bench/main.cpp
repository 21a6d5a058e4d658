// Benchmarks, not tests: how fast the real program starts on an X server and what it costs
// there, beside the baselines started in the same run, and how precisely and cheaply it counts
// down; then the countdown alone, in this process, idle and beside busy processes.
// Usage: bench_veltrane --display :N [--json FILE] [--ticks N] [--runs N] [--countdowns N]
// (scripts/bench runs it on an X server of its own). The real program runs with --dry-run
// beside a stand-in logind on a bus of the bench's own; the countdowns in this process use a
// road that asks nothing, and cancel each warning the moment it opens.
#include "countdownprobe.h"
#include "displaybench.h"
#include "fakesystem.h"

#include "qt/qtruntime.h"
#include "quietroad.h"

#include <QApplication>
#include <QCommandLineParser>
#include <QFile>
#include <QJsonArray>
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

// The middle half of the samples: the first and third quartiles.
QJsonArray spread(const std::vector<double> &values)
{
    return {percentile(values, 25), percentile(values, 75)};
}

double loadAverage()
{
    QFile file(QStringLiteral("/proc/loadavg"));
    return file.open(QIODevice::ReadOnly) ? file.readAll().split(' ').value(0).toDouble() : NAN;
}

// Milliseconds since boot in which the hypervisor ran something else on this machine's
// processors: a phase in which it grows was measured on a machine that now and then stood still.
double stolenMs()
{
    QFile file(QStringLiteral("/proc/stat"));
    if (!file.open(QIODevice::ReadOnly))
        return NAN;
    // cpu user nice system idle iowait irq softirq steal ...
    const QList<QByteArray> total = file.readLine().simplified().split(' ');
    return total.value(8).toDouble() * 1000 / sysconf(_SC_CLK_TCK);
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

Countdown runCountdown(ui::qt::QtRuntime &runtime, poweroff::Road &road, int ticks)
{
    CountdownProbe probe(runtime, road);
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
    return QStringLiteral("%1, %2 cores, %3 %4, Qt %5")
        .arg(model)
        .arg(QThread::idealThreadCount())
        .arg(QSysInfo::prettyProductName(), QSysInfo::kernelVersion(),
             QString::fromLatin1(qVersion()));
}

} // namespace

int main(int argc, char *argv[])
{
    // Nothing here asks for a power-off; should anything try, it finds no system bus.
    qputenv("DBUS_SYSTEM_BUS_ADDRESS", "unix:path=/nonexistent/veltrane-bench-bus");
    std::setvbuf(stdout, nullptr, _IOLBF, 0); // progress shows as it happens, even in a log
    QApplication application(argc, argv);

    QCommandLineParser parser;
    parser.addHelpOption();
    const QCommandLineOption displayOption(QStringLiteral("display"),
                                           QStringLiteral("The X server to start programs on."),
                                           QStringLiteral("NAME"));
    const QCommandLineOption jsonOption(QStringLiteral("json"),
                                        QStringLiteral("Write the figures to FILE."),
                                        QStringLiteral("FILE"));
    const QCommandLineOption ticksOption(QStringLiteral("ticks"),
                                         QStringLiteral("Ticks per countdown here (120)."),
                                         QStringLiteral("N"), QStringLiteral("120"));
    const QCommandLineOption runsOption(QStringLiteral("runs"),
                                        QStringLiteral("Start-ups of each program (15)."),
                                        QStringLiteral("N"), QStringLiteral("15"));
    const QCommandLineOption countdownsOption(
        QStringLiteral("countdowns"), QStringLiteral("Minutes of the real program counting (3)."),
        QStringLiteral("N"), QStringLiteral("3"));
    parser.addOptions({displayOption, jsonOption, ticksOption, runsOption, countdownsOption});
    parser.process(application);
    const int ticks = std::max(2, parser.value(ticksOption).toInt());
    const int runs = std::max(1, parser.value(runsOption).toInt());
    const int countdowns = std::max(1, parser.value(countdownsOption).toInt());

    XDisplay display(parser.value(displayOption).toLocal8Bit());
    if (!display.isOpen()) {
        std::fprintf(stderr, "bench: no X server with DAMAGE and XTEST at \"%s\"\n",
                     qPrintable(parser.value(displayOption)));
        return 1;
    }
    PrivateBus bus; // logind and the portal, played: the program is allowed, and stays awake
    if (!bus.start()) {
        std::fprintf(stderr, "bench: cannot start dbus-daemon\n");
        return 1;
    }
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DISPLAY"), parser.value(displayOption));
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    environment.insert(QStringLiteral("DBUS_SYSTEM_BUS_ADDRESS"), QString(bus.address()));
    environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), QString(bus.address()));
    const QString here = QCoreApplication::applicationDirPath();
    const QString veltrane = here + QStringLiteral("/../veltrane");
    const QString bare = here + QStringLiteral("/bench_bare_window");
    DisplayBench bench(display, environment, here + QStringLiteral("/plugins"));
    QJsonObject load, stolen;
    double stolenBefore = stolenMs();
    const auto endPhase = [&](const QString &phase) {
        load.insert(phase, loadAverage());
        const double stolenNow = stolenMs();
        stolen.insert(phase, stolenNow - stolenBefore);
        stolenBefore = stolenNow;
    };

    std::printf("Machine: %s\n", qPrintable(machine()));
    std::printf("Start-up on X: %d runs of each program, in turn, after one warm-up of each...\n",
                runs);
    // Veltrane, the empty window and the window with text take turns, so that whatever else
    // the machine does falls on all three alike.
    const struct {
        QString program;
        QStringList arguments;
    } programs[] = {
        {veltrane, {QStringLiteral("--dry-run")}}, {bare, {}}, {bare, {QStringLiteral("--text")}}};
    std::vector<double> mapped[3], painted[3], peak[3], proportional[3];
    for (int run = -1; run < runs; ++run) {
        for (int i = 0; i < 3; ++i) {
            const std::optional<StartupSample> sample =
                bench.startup(programs[i].program, programs[i].arguments);
            if (!sample) {
                std::fprintf(stderr, "bench: %s showed no painted window\n",
                             qPrintable(programs[i].program));
                return 1;
            }
            if (run < 0)
                continue; // the warm-up fills the file cache
            mapped[i].push_back(sample->mappedMs);
            painted[i].push_back(sample->paintedMs);
            peak[i].push_back(sample->peakMiB);
            proportional[i].push_back(sample->proportionalMiB);
        }
    }
    endPhase(QStringLiteral("startup"));

    std::printf("The real program and the ticking baseline counting down two minutes on X, in "
                "turn, %d times each...\n",
                countdowns);
    std::vector<double> lateness, drifts, firstMinuteCpu, cpu, wakeups, baseLateness, baseCpu;
    for (int i = 0; i < countdowns; ++i) {
        const std::optional<CountdownSample> sample =
            bench.countdown(veltrane, {QStringLiteral("--dry-run")});
        const std::optional<CountdownSample> base =
            bench.countdown(bare, {QStringLiteral("--tick")});
        if (!sample || !base) {
            std::fprintf(stderr, "bench: a countdown on X could not be followed\n");
            return 1;
        }
        for (const double ms : sample->latenessMs)
            lateness.push_back(std::abs(ms));
        for (const double ms : base->latenessMs)
            baseLateness.push_back(std::abs(ms));
        drifts.push_back(std::abs(sample->warningDriftMs));
        firstMinuteCpu.push_back(sample->firstMinuteCpuMs);
        cpu.push_back(sample->cpuMsPerMinute);
        baseCpu.push_back(base->cpuMsPerMinute);
        wakeups.push_back(sample->wakeupsPerMinute);
    }
    endPhase(QStringLiteral("display_countdown"));

    ui::qt::QtRuntime runtime;
    QuietRoad road;
    std::printf("Countdowns of %d ticks in this process, idle and under load...\n", ticks);
    const Countdown idle = runCountdown(runtime, road, ticks);
    endPhase(QStringLiteral("countdown_idle"));
    Countdown loaded;
    {
        const BusyLoad busy(2);
        loaded = runCountdown(runtime, road, ticks);
        endPhase(QStringLiteral("countdown_load"));
    }

    const QJsonObject figures{
        {QStringLiteral("display_startup_ms"), median(painted[0])},
        {QStringLiteral("display_startup_bare_ms"), median(painted[1])},
        {QStringLiteral("display_startup_text_ms"), median(painted[2])},
        {QStringLiteral("display_startup_text_ratio"), median(painted[0]) / median(painted[2])},
        {QStringLiteral("display_mapped_ms"), median(mapped[0])},
        {QStringLiteral("display_mapped_bare_ms"), median(mapped[1])},
        {QStringLiteral("display_mapped_text_ms"), median(mapped[2])},
        {QStringLiteral("display_memory_mb"), median(peak[0])},
        {QStringLiteral("display_memory_bare_mb"), median(peak[1])},
        {QStringLiteral("display_memory_text_mb"), median(peak[2])},
        {QStringLiteral("display_memory_text_ratio"), median(peak[0]) / median(peak[2])},
        {QStringLiteral("display_pss_mb"), median(proportional[0])},
        {QStringLiteral("display_pss_text_mb"), median(proportional[2])},
        {QStringLiteral("display_pss_text_ratio"),
         median(proportional[0]) / median(proportional[2])},
        {QStringLiteral("display_wakeups_per_min"), median(wakeups)},
        {QStringLiteral("display_cpu_ms_per_min"), median(cpu)},
        {QStringLiteral("display_cpu_ms_first_min"), median(firstMinuteCpu)},
        {QStringLiteral("display_tick_p50_ms"), percentile(lateness, 50)},
        {QStringLiteral("display_tick_p99_ms"), percentile(lateness, 99)},
        {QStringLiteral("display_tick_max_ms"), percentile(lateness, 100)},
        {QStringLiteral("display_baseline_cpu_ms_per_min"), median(baseCpu)},
        {QStringLiteral("display_baseline_tick_p99_ms"), percentile(baseLateness, 99)},
        {QStringLiteral("display_cpu_ratio"), median(cpu) / median(baseCpu)},
        {QStringLiteral("display_tick_p99_ratio"),
         percentile(lateness, 99) / percentile(baseLateness, 99)},
        {QStringLiteral("display_warning_drift_ms"), median(drifts)},
        {QStringLiteral("display_warning_drift_max_ms"), percentile(drifts, 100)},
        {QStringLiteral("tick_p50_ms_idle"), percentile(idle.lateness, 50)},
        {QStringLiteral("tick_p99_ms_idle"), percentile(idle.lateness, 99)},
        {QStringLiteral("tick_max_ms_idle"), percentile(idle.lateness, 100)},
        {QStringLiteral("warning_drift_ms_idle"), idle.driftMs},
        {QStringLiteral("tick_p50_ms_load"), percentile(loaded.lateness, 50)},
        {QStringLiteral("tick_p99_ms_load"), percentile(loaded.lateness, 99)},
        {QStringLiteral("tick_max_ms_load"), percentile(loaded.lateness, 100)},
        {QStringLiteral("warning_drift_ms_load"), loaded.driftMs},
        {QStringLiteral("cpu_ms_per_min"), idle.cpuMsPerMinute},
        {QStringLiteral("wakeups_per_min"), idle.wakeupsPerMinute},
        {QStringLiteral("ticks"), ticks},
        {QStringLiteral("startup_runs"), runs},
        {QStringLiteral("display_countdowns"), countdowns},
    };
    QJsonObject json;
    for (auto it = figures.begin(); it != figures.end(); ++it)
        json.insert(it.key(), rounded(it.value().toDouble()));
    for (auto it = load.begin(); it != load.end(); ++it)
        it.value() = rounded(it.value().toDouble());
    json.insert(QStringLiteral("load_avg"), load);
    json.insert(QStringLiteral("steal_ms"), stolen);
    QJsonObject quartiles{
        {QStringLiteral("display_startup_ms"), spread(painted[0])},
        {QStringLiteral("display_startup_bare_ms"), spread(painted[1])},
        {QStringLiteral("display_startup_text_ms"), spread(painted[2])},
        {QStringLiteral("display_mapped_ms"), spread(mapped[0])},
        {QStringLiteral("display_memory_mb"), spread(peak[0])},
        {QStringLiteral("display_memory_text_mb"), spread(peak[2])},
        {QStringLiteral("display_wakeups_per_min"), spread(wakeups)},
        {QStringLiteral("display_cpu_ms_per_min"), spread(cpu)},
        {QStringLiteral("display_cpu_ms_first_min"), spread(firstMinuteCpu)},
        {QStringLiteral("display_baseline_cpu_ms_per_min"), spread(baseCpu)},
    };
    for (auto it = quartiles.begin(); it != quartiles.end(); ++it) {
        const QJsonArray pair = it.value().toArray();
        it.value() = QJsonArray{rounded(pair[0].toDouble()), rounded(pair[1].toDouble())};
    }
    json.insert(QStringLiteral("quartiles"), quartiles);

    const auto value = [&](const char *key) { return json.value(QLatin1String(key)).toDouble(); };
    const auto quartile = [&](const char *key, int which) {
        return quartiles.value(QLatin1String(key)).toArray()[which].toDouble();
    };
    std::printf("\n  %-44s %10s %-6s %-17s %s\n", "what", "median", "", "quartiles", "target");
    const auto row = [&](const char *what, const char *key, const char *unit, const char *target) {
        std::printf("  %-44s %10.3f %-6s", what, value(key), unit);
        if (quartiles.contains(QLatin1String(key)))
            std::printf(" %7.2f .. %-7.2f %s\n", quartile(key, 0), quartile(key, 1), target);
        else
            std::printf(" %-17s %s\n", "", target);
    };
    std::printf("  On X, the real program and its baselines:\n");
    row("start-up to first paint", "display_startup_ms", "ms", "");
    row("  baseline: bare Qt window", "display_startup_bare_ms", "ms", "");
    row("  baseline: the window with one line of text", "display_startup_text_ms", "ms", "");
    row("  ratio to the text window", "display_startup_text_ratio", "x", "<= 1.1");
    row("start-up to mapped", "display_mapped_ms", "ms", "");
    row("  baseline: bare Qt window", "display_mapped_bare_ms", "ms", "");
    row("  baseline: the window with one line of text", "display_mapped_text_ms", "ms", "");
    row("peak resident memory", "display_memory_mb", "MiB", "");
    row("  baseline: bare Qt window", "display_memory_bare_mb", "MiB", "");
    row("  baseline: the window with one line of text", "display_memory_text_mb", "MiB", "");
    row("  ratio to the text window", "display_memory_text_ratio", "x", "<= 1.05");
    row("proportional memory (PSS)", "display_pss_mb", "MiB", "");
    row("  ratio to the text window", "display_pss_text_ratio", "x", "");
    row("wake-ups per minute of countdown, all threads", "display_wakeups_per_min", "", "<= 90");
    row("CPU per minute of countdown, all threads", "display_cpu_ms_per_min", "ms", "");
    row("  in its first minute", "display_cpu_ms_first_min", "ms", "");
    row("  baseline: a label ticking on a precise timer", "display_baseline_cpu_ms_per_min", "ms",
        "");
    row("  ratio to the baseline", "display_cpu_ratio", "x", "<= 1.0");
    row("tick repaint lateness p50", "display_tick_p50_ms", "ms", "");
    row("tick repaint lateness p99", "display_tick_p99_ms", "ms", "");
    row("  baseline: a label ticking on a precise timer", "display_baseline_tick_p99_ms", "ms", "");
    row("  ratio to the baseline", "display_tick_p99_ratio", "x", "<= 1.0");
    row("tick repaint lateness max", "display_tick_max_ms", "ms", "");
    row("warning mapped after start + T + 1 s", "display_warning_drift_ms", "ms", "within 5");
    row("  the latest of the countdowns", "display_warning_drift_max_ms", "ms", "");
    std::printf("  In this process, offscreen:\n");
    row("tick lateness p50, idle", "tick_p50_ms_idle", "ms", "");
    row("tick lateness p99, idle", "tick_p99_ms_idle", "ms", "<= 2");
    row("tick lateness max, idle", "tick_max_ms_idle", "ms", "");
    row("tick lateness p99, two busy processes", "tick_p99_ms_load", "ms", "<= 10");
    row("tick lateness max, two busy processes", "tick_max_ms_load", "ms", "");
    row("warning opened after start + T + 1 s, idle", "warning_drift_ms_idle", "ms", "within 5");
    row("CPU per minute of countdown, idle", "cpu_ms_per_min", "ms", "");
    row("wake-ups per minute of countdown, idle", "wakeups_per_min", "", "");
    std::printf("  Load average (1 min) at the end of each phase:");
    for (auto it = load.begin(); it != load.end(); ++it)
        std::printf(" %s %.2f", qPrintable(it.key()), it.value().toDouble());
    std::printf("\n  Time stolen by the hypervisor in each phase, ms:");
    for (auto it = stolen.begin(); it != stolen.end(); ++it)
        std::printf(" %s %.0f", qPrintable(it.key()), it.value().toDouble());
    std::printf("\n");

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
