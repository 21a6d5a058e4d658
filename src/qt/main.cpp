#include "app/commandline.h"
#include "app/program.h"
#include "qt/qtruntime.h"
#include "version.h"

#include "qt/instance.h"
#include "qt/logindroad.h"

#include <QApplication>

#include <cstdio>
#include <ctime>
#include <string>
#include <vector>

int main(int argc, char *argv[])
{
    // Answer --help, --version and mistakes without ever opening a window.
    using Action = app::CommandLine::Action;
    app::CommandLine commandLine =
        app::CommandLine::parse(std::vector<std::string>(argv + 1, argv + argc));
    commandLine.resolve(std::time(nullptr));
    if (commandLine.action != Action::Run && commandLine.action != Action::Cancel) {
        std::FILE *out = commandLine.exitStatus() == 0 ? stdout : stderr;
        std::fprintf(out, "%s\n", commandLine.text.c_str());
        return commandLine.exitStatus();
    }
    const app::Request request = app::Request::from(commandLine);
    // Without a display, as from cron, a running one may still be asked: without a window.
    const bool display = !qEnvironmentVariableIsEmpty("DISPLAY") ||
                         !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
                         qEnvironmentVariableIsSet("QT_QPA_PLATFORM");
    if (commandLine.action == Action::Cancel || !display) {
        QCoreApplication application(argc, argv);
        if (const std::optional<app::Answer> answer = ui::qt::Instance::ask(request))
            return app::report(*answer);
        if (commandLine.action == Action::Cancel)
            return app::report(app::Answer::NoneRunning);
        std::fprintf(stderr, "No display to open the window on: DISPLAY and WAYLAND_DISPLAY are "
                             "not set.\n");
        return 1;
    }

    // The windows are small, and a second of countdown changes a few hundred pixels. Sent as
    // shared-memory images, each repaint would wait for the X server's word that it has copied
    // them: two more wake-ups a second, one of them in Qt's X reader thread, to save copying a
    // few kilobytes down the socket.
    if (!qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM"))
        qputenv("QT_XCB_NO_MITSHM", "1");
    // Through XWayland, where there is one: there the warning can stay above other windows and
    // ask to be activated, which Wayland lets no client do. Native Wayland is the fallback.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM") && !qEnvironmentVariableIsEmpty("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "xcb;wayland");
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Veltrane"));
    QApplication::setApplicationVersion(QStringLiteral(VELTRANE_VERSION));
    // Lets the desktop match the window to its menu entry, and end the start-up feedback.
    QApplication::setDesktopFileName(QStringLiteral(VELTRANE_ID));

    ui::qt::Instance instance;
    if (instance.claim() == app::Claim::Taken)
        return app::report(ui::qt::Instance::ask(request).value_or(app::Answer::NoAnswer));
    ui::qt::QtRuntime runtime;
    poweroff::LogindRoad system;
    app::Program program(commandLine, runtime, system, [](const std::string &line) {
        // Flushed at once: another program may be waiting for this line.
        std::printf("%s\n", line.c_str());
        std::fflush(stdout);
    });
    instance.serve([&program](const app::Request &asked) { return program.handle(asked); });
    return application.exec();
}
