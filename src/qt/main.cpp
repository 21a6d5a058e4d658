#include "app/commandline.h"
#include "app/program.h"
#include "qt/qtruntime.h"
#include "version.h"

#include "qt/logindroad.h"

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

    ui::qt::QtRuntime runtime;
    poweroff::LogindRoad system;
    app::Program program(commandLine, runtime, system, [](const std::string &line) {
        // Flushed at once: another program may be waiting for this line.
        std::printf("%s\n", line.c_str());
        std::fflush(stdout);
    });
    return application.exec();
}
