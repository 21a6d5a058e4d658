// The Windows program: the same windows and behaviour on native Win32 controls.
#include "app/host.h"
#include "app/program.h"
#include "app/start.h"
#include "log/log.h"
#include "poweroff/ntroad.h"
#include "win32/clock.h"
#include "win32/handles.h"
#include "win32/instance.h"
#include "win32/win32platform.h"
#include "win32/win32runtime.h"

#include <windows.h>

#include <commctrl.h>

#include <cstdio>
#include <ctime>
#include <exception>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace {

// Output goes where it was redirected, or to the console the program was started from; started
// from Explorer, it has no console and makes none.
void attachConsole()
{
    const auto usable = [](DWORD which) {
        const HANDLE handle = GetStdHandle(which);
        return handle && handle != INVALID_HANDLE_VALUE;
    };
    if (usable(STD_OUTPUT_HANDLE) && usable(STD_ERROR_HANDLE))
        return;
    if (AttachConsole(ATTACH_PARENT_PROCESS)) {
        FILE *stream = nullptr;
        freopen_s(&stream, "CONOUT$", "w", stdout);
        freopen_s(&stream, "CONOUT$", "w", stderr);
    }
}

// As the C runtime split the command line: shell32, which could split it too, is a library
// Windows would otherwise load at every start.
std::vector<std::string> arguments()
{
    std::vector<std::string> words;
    // "/?" is how Windows programs are asked for help.
    for (int i = 1; i < __argc; ++i)
        words.push_back(std::wstring_view(__wargv[i]) == L"/?" ? "--help"
                                                               : ui::win32::narrow(__wargv[i]));
    return words;
}

// The Windows program's pieces: the session's mutex and message window, the Win32 runtime and
// the NT road.
class Win32Host final : public app::Host {
public:
    explicit Win32Host(HINSTANCE module) : m_module(module) {}

    std::optional<app::Answer> ask(const app::Request &request) override
    {
        return ui::win32::Instance::ask(request);
    }

    std::optional<std::variant<app::Status, app::Answer>> askStatus() override
    {
        return ui::win32::Instance::askStatus();
    }

    std::string clockTime(std::time_t when) const override
    {
        return ui::win32::localClockTime(when, false);
    }

    app::Claim claim() override
    {
        m_instance = std::make_unique<ui::win32::Instance>(m_module);
        return m_instance->claim();
    }

    int run(const app::CommandLine &commandLine) override
    {
        try {
            const INITCOMMONCONTROLSEX controls{sizeof controls,
                                                ICC_STANDARD_CLASSES | ICC_BAR_CLASSES};
            InitCommonControlsEx(&controls);
            ui::win32::Win32Runtime runtime(m_module);
            poweroff::Win32Platform platform;
            poweroff::NtRoad system(platform);
            app::Program program(commandLine, runtime, system, logging::print);
            m_instance->serve(
                [&](const app::Request &asked) {
                    app::Answer answer = app::Answer::NotUnderstood;
                    runtime.run([&] { answer = program.handle(asked); });
                    return answer;
                },
                [&program] { return program.status(); });
            // Answered only while what the answer needs is there: taking the runtime apart
            // lets messages in, a second start's among them.
            struct Serving {
                ui::win32::Instance &instance;
                ~Serving() { instance.serve(nullptr, nullptr); }
            } const serving{*m_instance};
            return runtime.exec();
        } catch (const std::exception &error) {
            MessageBoxW(nullptr, ui::win32::wide(error.what()).c_str(), L"Veltrane",
                        MB_OK | MB_ICONERROR);
            return 1;
        }
    }

private:
    HINSTANCE m_module;
    std::unique_ptr<ui::win32::Instance> m_instance;
};

} // namespace

int WINAPI wWinMain(HINSTANCE module, HINSTANCE, PWSTR, int)
{
    attachConsole();
    Win32Host host(module);
    return app::start(arguments(), std::time(nullptr), host);
}
