#include "app/commandline.h"
#include "app/program.h"
#include "ui/qt/qtruntime.h"
#include "version.h"

#ifdef _WIN32
#include "poweroff/ntroad.h"
#include "poweroff/win32platform.h"
#else
#include "poweroff/logindroad.h"
#endif

#include <QApplication>

#include <cstdio>
#include <iostream>
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
#ifdef _WIN32
    poweroff::Win32Platform platform;
    poweroff::NtRoad system(platform);
#else
    poweroff::LogindRoad system;
#endif
    app::Program program(commandLine, runtime, system, std::cout);
    return application.exec();
}
