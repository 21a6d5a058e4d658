#include "app/host.h"
#include "app/program.h"
#include "app/start.h"
#include "log/log.h"
#include "qt/qtruntime.h"
#include "version.h"

#include "qt/clock.h"
#include "qt/instance.h"
#include "qt/logindroad.h"
#include "qt/runningone.h"

#include <QApplication>

#include <ctime>
#include <memory>
#include <string>
#include <vector>

namespace {

// The Linux program's pieces: an application object made once it is known which one a start
// needs, the name on the session bus, the Qt runtime and the logind road.
class QtHost final : public app::Host {
public:
    QtHost(int &argc, char **argv) : m_argc(argc), m_argv(argv) {}

    std::optional<app::Answer> ask(const app::Request &request) override
    {
        // The bus needs an application object; a start that shows nothing needs no more.
        if (!m_application)
            m_application = std::make_unique<QCoreApplication>(m_argc, m_argv);
        return ui::qt::runningone::ask(request);
    }

    std::optional<std::variant<app::Status, app::Answer>> askStatus() override
    {
        if (!m_application)
            m_application = std::make_unique<QCoreApplication>(m_argc, m_argv);
        return ui::qt::runningone::askStatus();
    }

    std::string clockTime(std::time_t when) const override
    {
        return ui::qt::localClockTime(when, false);
    }

    std::string noWindows() override
    {
        // Without a display, as from cron, a running one may still be asked: without a window.
        if (!qEnvironmentVariableIsEmpty("DISPLAY") ||
            !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY") ||
            qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
            return {};
        return "No display to open the window on: DISPLAY and WAYLAND_DISPLAY are not set.";
    }

    app::Claim claim() override
    {
        // The windows are small, and a second of countdown changes a few hundred pixels. Sent
        // as shared-memory images, each repaint would wait for the X server's word that it has
        // copied them: two more wake-ups a second, one of them in Qt's X reader thread, to save
        // copying a few kilobytes down the socket.
        if (!qEnvironmentVariableIsSet("QT_XCB_NO_MITSHM"))
            qputenv("QT_XCB_NO_MITSHM", "1");
        // Through XWayland, where there is one: there the warning can stay above other windows
        // and ask to be activated, which Wayland lets no client do. Native Wayland is the
        // fallback.
        if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM") &&
            !qEnvironmentVariableIsEmpty("DISPLAY"))
            qputenv("QT_QPA_PLATFORM", "xcb;wayland");
        m_application = std::make_unique<QApplication>(m_argc, m_argv);
        QApplication::setApplicationName(QStringLiteral("Veltrane"));
        QApplication::setApplicationVersion(QStringLiteral(VELTRANE_VERSION));
        // Lets the desktop match the window to its menu entry, and end the start-up feedback.
        QApplication::setDesktopFileName(QStringLiteral(VELTRANE_ID));
        m_instance = std::make_unique<ui::qt::Instance>();
        return m_instance->claim();
    }

    int run(const app::CommandLine &commandLine) override
    {
        ui::qt::QtRuntime runtime;
        poweroff::LogindRoad system;
        app::Program program(commandLine, runtime, system, logging::print);
        m_instance->serve([&program](const app::Request &asked) { return program.handle(asked); },
                          [&program] { return program.status(); });
        program.watch([this](const app::Status &now) { m_instance->changed(now); });
        m_instance->changed(program.status());
        const int status = QApplication::exec();
        m_instance->serve(nullptr, nullptr); // what it answers with goes now
        return status;
    }

private:
    int &m_argc;
    char **m_argv;
    std::unique_ptr<QCoreApplication> m_application;
    std::unique_ptr<ui::qt::Instance> m_instance; // after the application, gone before it
};

} // namespace

int main(int argc, char *argv[])
{
    QtHost host(argc, argv);
    return app::start(std::vector<std::string>(argv + 1, argv + argc), std::time(nullptr), host);
}
