#include "poweroff.h"

#include "log/log.h"

namespace poweroff {

void PowerOffNow(Platform &platform, Platform::Done done)
{
    if (platform.environmentVariable("OS") == "Windows_NT")
        ShutDownNT(platform, true, std::move(done));
    else
        platform.ExitWindowsEx(EwxShutdown | EwxForce, 0, std::move(done));
}

void ShutDownNT(Platform &platform, bool force, Platform::Done done)
{
    const std::uint32_t flags = force ? EwxShutdown | EwxForce : EwxShutdown;
    if (IsWindowsNT(platform)) {
        // Without the privilege the request below fails, and that failure is what the caller
        // hears of; this note only tells why.
        if (const auto error = EnableShutdownPrivilege(platform))
            logging::log("could not enable the shutdown privilege: " + *error);
    }
    platform.ExitWindowsEx(flags, 0, std::move(done));
}

bool IsWindowsNT(Platform &platform)
{
    OsVersionInfo info;
    info.dwOSVersionInfoSize = sizeof(OsVersionInfo);
    platform.GetVersionExA(info);
    return info.dwPlatformId == VerPlatformWin32Nt;
}

std::optional<std::string> EnableShutdownPrivilege(Platform &platform)
{
    const Handle process = platform.GetCurrentProcess();
    Handle token = nullptr;
    if (!platform.OpenProcessToken(process, TokenAdjustPrivilegesOrQuery, token))
        return platform.lastError();

    std::optional<std::string> error;
    PrivilegeLuid luid;
    if (platform.LookupPrivilegeValueA("", "SeShutdownPrivilege", luid)) {
        TokenPrivileges newState;
        TokenPrivileges previousState;
        newState.PrivilegeCount = 1;
        newState.Privileges[0].Luid = luid;
        newState.Privileges[0].Attributes = SePrivilegeEnabled;
        std::uint32_t returnLength = 4 + 12 * previousState.PrivilegeCount;
        if (!platform.AdjustTokenPrivileges(token, false, newState,
                                            4 + 12 * newState.PrivilegeCount, previousState,
                                            returnLength))
            error = platform.lastError();
    } else {
        error = platform.lastError();
    }
    platform.CloseHandle(token);
    return error;
}

} // namespace poweroff
