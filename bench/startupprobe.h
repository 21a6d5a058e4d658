#pragma once

#include <QString>
#include <QStringList>

// Starts a program with the first-paint plugin loaded and reads what the plugin reports.
struct StartupSample {
    double toFirstPaintMs = -1; // from just before the process is started
    double peakMiB = -1;
    bool ok() const { return toFirstPaintMs >= 0 && peakMiB > 0; }
};

StartupSample measureStartup(const QString &program, const QStringList &arguments,
                             const QString &pluginDir);
