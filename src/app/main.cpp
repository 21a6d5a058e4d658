#include "app/commandline.h"
#include "poweroff/dryrunplatform.h"
#include "timer/mainform.h"
#include "ui/qt/qtruntime.h"

#ifdef _WIN32
#include "poweroff/win32platform.h"
using SystemPlatform = poweroff::Win32Platform;
#else
#include "poweroff/logindplatform.h"
using SystemPlatform = poweroff::LogindPlatform;
#endif

#include <QApplication>

#include <cstdio>
#include <iostream>

int main(int argc, char *argv[])
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    // Answer --help, --version and mistakes without ever opening a window.
    const app::CommandLine commandLine = app::CommandLine::parse(arguments);
    if (commandLine.action != app::CommandLine::Action::Run) {
        std::FILE *out = commandLine.exitStatus() == 0 ? stdout : stderr;
        std::fprintf(out, "%s\n", commandLine.text.toLocal8Bit().constData());
        return commandLine.exitStatus();
    }

    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Veltrane"));
    QApplication::setApplicationVersion(QStringLiteral("1.00"));
    QApplication::setQuitOnLastWindowClosed(false); // the main window's close ends the program

    ui::qt::QtRuntime runtime;
    SystemPlatform system;
    poweroff::DryRunPlatform dryRun(system, std::cout);
    timer::MainForm form(runtime,
                         commandLine.dryRun ? static_cast<poweroff::Platform &>(dryRun) : system);
    form.window().show();
    return application.exec();
}
