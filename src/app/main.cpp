#include "app/commandline.h"
#include "app/program.h"
#include "ui/qt/qtruntime.h"
#include "version.h"

#include "poweroff/logindroad.h"

#include <QApplication>

#include <cstdio>
#include <string>
#include <vector>

int main(int argc, char *argv[])
{
    // Answer --help, --version and mistakes without ever opening a window.
    const app::CommandLine commandLine =
        app::CommandLine::parse(std::vector<std::string>(argv + 1, argv + argc));
    if (commandLine.action != app::CommandLine::Action::Run) {
        std::FILE *out = commandLine.exitStatus() == 0 ? stdout : stderr;
        std::fprintf(out, "%s\n", commandLine.text.c_str());
        return commandLine.exitStatus();
    }

    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Veltrane"));
    QApplication::setApplicationVersion(QStringLiteral(VELTRANE_VERSION));

    ui::qt::QtRuntime runtime;
    poweroff::LogindRoad system;
    app::Program program(commandLine, runtime, system, [](const std::string &line) {
        // Flushed at once: another program may be waiting for this line.
        std::printf("%s\n", line.c_str());
        std::fflush(stdout);
    });
    return application.exec();
}
