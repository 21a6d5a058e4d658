#pragma once

#include "xdisplay.h"

#include <QProcessEnvironment>
#include <QString>
#include <QStringList>

#include <optional>
#include <vector>

// A program started on the bench's X server: how soon its window is there and what it costs.
struct StartupSample {
    double mappedMs = 0;  // from just before the process is started to its window mapped
    double paintedMs = 0; // ... to its window painted, as the first-paint plugin reports it
    double residentMiB = 0;
    double peakMiB = 0;
    double proportionalMiB = 0; // PSS: shared pages split among the processes that map them
};

// Two minutes of the real program counting down, watched from outside.
struct CountdownSample {
    std::vector<double> latenessMs; // each tick's repaint against the Start click's, signed
    double warningDriftMs = 0;      // the warning mapped against start + T + 1 s; none: NaN
    double firstMinuteCpuMs = 0;    // all the program's threads, in the first minute
    double cpuMsPerMinute = 0;      // ... in the minutes after: the same, minute after minute
    double wakeupsPerMinute = 0;    // voluntary context switches of all its threads, after
};

class DisplayBench final {
public:
    // Programs see the X server and buses of environment; pluginDir holds the first-paint plugin.
    DisplayBench(XDisplay &display, QProcessEnvironment environment, QString pluginDir);

    std::optional<StartupSample> startup(const QString &program, const QStringList &arguments);
    // Sets the main window to 00:02:00 with the pointer, starts it, and times every tick; or,
    // for the baseline window (--tick), starts it with a click and times its ticks alike.
    std::optional<CountdownSample> countdown(const QString &program, const QStringList &arguments);

private:
    XDisplay &m_display;
    QProcessEnvironment m_environment;
    QString m_pluginDir;
};
