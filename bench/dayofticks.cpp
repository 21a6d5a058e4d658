// A day of ticks: the Linux program's main window counts down 23:59:59 to its warning, offscreen,
// its timer driven as fast as the window takes a tick and repaints; the resident memory and the
// open files after the first minute, before the first heads-up and with the warning open.
// Usage: bench_dayofticks   (scripts/bench runs it)
#include "app/commandline.h"
#include "confirm/shutdownform.h"
#include "qt/qtruntime.h"
#include "qt/qtwindow.h"
#include "qt/ticktimer.h"
#include "quietroad.h"
#include "timer/mainform.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEvent>
#include <QFile>

#include <cstdio>

namespace {

struct Held {
    double residentMiB = 0;
    qsizetype files = 0;
};

Held held()
{
    Held now;
    QFile status(QStringLiteral("/proc/self/status"));
    if (status.open(QIODevice::ReadOnly))
        for (const QByteArray &line : status.readAll().split('\n'))
            if (line.startsWith("VmRSS:"))
                now.residentMiB = line.mid(6).trimmed().split(' ').value(0).toDouble() / 1024;
    now.files = QDir(QStringLiteral("/proc/self/fd")).entryList(QDir::Files | QDir::System).size();
    return now;
}

class PaintCounter final : public QObject {
public:
    explicit PaintCounter(int &paints) : m_paints(paints) {}
    bool eventFilter(QObject *, QEvent *event) override
    {
        m_paints += event->type() == QEvent::Paint;
        return false;
    }

private:
    int &m_paints;
};

} // namespace

int main(int argc, char *argv[])
{
    // A repaint is asked for when the window next updates, 5 ms on by default: at once here, so
    // that each tick is painted before the next.
    qputenv("QT_QPA_UPDATE_IDLE_TIME", "0");
    QApplication application(argc, argv);
    ui::qt::QtRuntime runtime;
    QuietRoad road;
    timer::MainForm form(runtime, road);
    QWidget *window = static_cast<ui::qt::QtWindow &>(form.window()).widget();
    form.window().show();
    QCoreApplication::processEvents();
    form.ShowQuickTimerSeconds(app::LongestSpan);
    window->findChild<QAbstractButton *>(QStringLiteral("cmdStartQuickTimer"))->click();
    auto *tick = window->findChild<ui::qt::TickTimer *>(QStringLiteral("tmrQuickTimer"));
    const auto warned = [&] { return form.shutDownForm() && form.shutDownForm()->isLoaded(); };
    // Each tick as its timer would bring it, then its repaint; the first minute warms up what
    // is made once.
    int ticks = 0;
    const auto run = [&](int most) {
        for (int i = 0; i < most && !warned(); ++i, ++ticks) {
            emit tick->timeout();
            QCoreApplication::processEvents();
        }
    };
    int paints = 0;
    PaintCounter counter(paints);
    application.installEventFilter(&counter); // every widget's paint
    // From the end of the first minute to the last tick before the first heads-up, 5 minutes
    // before the end: the count alone. Then the heads-ups and the warning, made once.
    run(60);
    const Held start = held();
    QElapsedTimer took;
    took.start();
    run(app::LongestSpan - 300 - ticks - 1);
    const Held counted = held();
    run(app::LongestSpan);
    const Held warnedHeld = held();
    const bool reached = warned();
    if (reached)
        form.shutDownForm()->cmdCancel_Click(); // nothing here may ask for a power-off
    std::printf("ticks %d paints %d warning %s in %.1f s\n", ticks, paints,
                reached ? "opened" : "never opened", double(took.elapsed()) / 1000);
    std::printf("resident_mib start %.2f counted %.2f warned %.2f\n", start.residentMiB,
                counted.residentMiB, warnedHeld.residentMiB);
    std::printf("open_files start %lld counted %lld warned %lld\n",
                static_cast<long long>(start.files), static_cast<long long>(counted.files),
                static_cast<long long>(warnedHeld.files));
    return reached ? 0 : 1;
}
