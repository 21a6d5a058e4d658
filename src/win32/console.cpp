// veltrane.com, the program's companion for a command prompt: typed as "veltrane", it is found
// before veltrane.exe, which cmd would not wait for. It starts veltrane.exe beside it with the
// same arguments, passes on what it writes, and returns its exit status; or returns at once
// with 0 when it has opened its window and goes on running.
#include "win32/handles.h"

#include <windows.h>

#include <string>

namespace {

using ui::win32::UniqueHandle;

// The command line after the program's own name, as it was typed: veltrane.exe splits it as
// it always does.
const wchar_t *arguments()
{
    const wchar_t *line = GetCommandLineW();
    for (bool quoted = false; *line && (quoted || (*line != L' ' && *line != L'\t')); ++line)
        if (*line == L'"')
            quoted = !quoted;
    return line;
}

bool showsAWindow(DWORD process)
{
    std::pair<DWORD, bool> search{process, false};
    EnumWindows(
        [](HWND window, LPARAM data) {
            auto &[wanted, found] = *reinterpret_cast<std::pair<DWORD, bool> *>(data);
            DWORD owner = 0;
            GetWindowThreadProcessId(window, &owner);
            found = owner == wanted && IsWindowVisible(window);
            return found ? FALSE : TRUE;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.second;
}

// What the program has written so far, passed on.
void relay(HANDLE from, HANDLE to)
{
    char buffer[4096];
    DWORD waiting = 0, read = 0, written = 0;
    while (PeekNamedPipe(from, nullptr, 0, nullptr, &waiting, nullptr) && waiting &&
           ReadFile(from, buffer, sizeof buffer, &read, nullptr) && read)
        WriteFile(to, buffer, read, &written, nullptr);
}

void say(const std::string &words)
{
    DWORD written = 0;
    WriteFile(GetStdHandle(STD_ERROR_HANDLE), words.data(), DWORD(words.size()), &written, nullptr);
}

} // namespace

int wmain()
{
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring program(path, length);
    if (program.size() < 4)
        return 1;
    program.replace(program.size() - 4, 4, L".exe");
    std::wstring line = L"\"" + program + L"\"" + arguments();

    // Pipes, not this console's handles: a program without a console of its own writes to
    // them as to any file.
    SECURITY_ATTRIBUTES inherited{sizeof inherited, nullptr, TRUE};
    HANDLE pipes[2][2] = {};
    for (auto &[reading, writing] : pipes)
        if (!CreatePipe(&reading, &writing, &inherited, 0) ||
            !SetHandleInformation(reading, HANDLE_FLAG_INHERIT, 0))
            return 1;
    const UniqueHandle output(pipes[0][0]), errors(pipes[1][0]);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = pipes[0][1];
    startup.hStdError = pipes[1][1];
    PROCESS_INFORMATION started{};
    const bool ran = CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, TRUE, 0,
                                    nullptr, nullptr, &startup, &started);
    CloseHandle(pipes[0][1]); // the program's now: its end is the pipe's end
    CloseHandle(pipes[1][1]);
    if (!ran) {
        say("veltrane: could not start veltrane.exe beside veltrane.com (error " +
            std::to_string(GetLastError()) + ")\n");
        return 1;
    }
    CloseHandle(started.hThread);
    const UniqueHandle process(started.hProcess);
    const HANDLE console[] = {GetStdHandle(STD_OUTPUT_HANDLE), GetStdHandle(STD_ERROR_HANDLE)};
    for (;;) {
        const bool ended = WaitForSingleObject(process.get(), 50) == WAIT_OBJECT_0;
        relay(output.get(), console[0]);
        relay(errors.get(), console[1]);
        if (ended)
            break;
        if (showsAWindow(started.dwProcessId))
            return 0; // the running one now: back to the prompt
    }
    DWORD status = 1;
    GetExitCodeProcess(process.get(), &status);
    return int(status);
}
