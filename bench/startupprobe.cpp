#include "startupprobe.h"

#include <QProcess>

#include <chrono>

StartupSample measureStartup(const QString &program, const QStringList &arguments,
                             const QString &pluginDir)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("QT_PLUGIN_PATH"), pluginDir);
    environment.insert(QStringLiteral("QT_QPA_GENERIC_PLUGINS"), QStringLiteral("benchfirstpaint"));
    // Whatever the program might do, it never sees the machine's system bus.
    environment.insert(QStringLiteral("DBUS_SYSTEM_BUS_ADDRESS"),
                       QStringLiteral("unix:path=/nonexistent/veltrane-bench-bus"));
    QProcess process;
    process.setProcessEnvironment(environment);
    process.setProcessChannelMode(QProcess::ForwardedErrorChannel);

    const auto started = std::chrono::steady_clock::now().time_since_epoch();
    process.start(program, arguments);
    StartupSample sample;
    if (!process.waitForFinished(10000)) {
        process.kill();
        process.waitForFinished();
        return sample;
    }
    for (const QByteArray &line : process.readAllStandardOutput().split('\n')) {
        const QList<QByteArray> words = line.split(' ');
        if (words.size() != 2)
            continue;
        if (words[0] == "first-paint-ns") {
            const std::chrono::nanoseconds painted(words[1].toLongLong());
            sample.toFirstPaintMs =
                std::chrono::duration<double, std::milli>(painted - started).count();
        } else if (words[0] == "peak-kib") {
            sample.peakMiB = words[1].toDouble() / 1024;
        }
    }
    return sample;
}
