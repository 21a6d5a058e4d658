// The Win32 power-off road for real, under Wine: the privilege step runs through the real
// calls, and the request goes to a recording stand-in, never to ExitWindowsEx.
#include "check.h"
#include "poweroff/ntroad.h"
#include "poweroff/poweroff.h"
#include "version.h"
#include "win32/win32platform.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

class StandIn final : public poweroff::Win32Platform {
public:
    void ExitWindowsEx(std::uint32_t flags, std::uint32_t reserved, Done done) override
    {
        requests.push_back(std::to_string(flags) + ", " + std::to_string(reserved));
        done(std::nullopt);
    }
    std::vector<std::string> requests;
};

bool shutdownPrivilegeEnabled()
{
    HANDLE token = nullptr;
    LUID shutdown{};
    DWORD size = 0;
    OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token);
    LookupPrivilegeValueA(nullptr, "SeShutdownPrivilege", &shutdown);
    GetTokenInformation(token, TokenPrivileges, nullptr, 0, &size);
    std::vector<unsigned char> buffer(size);
    bool enabled = false;
    if (GetTokenInformation(token, TokenPrivileges, buffer.data(), size, &size)) {
        const auto *privileges = reinterpret_cast<const TOKEN_PRIVILEGES *>(buffer.data());
        for (DWORD i = 0; i < privileges->PrivilegeCount; ++i) {
            const LUID_AND_ATTRIBUTES &entry = privileges->Privileges[i];
            if (entry.Luid.LowPart == shutdown.LowPart && entry.Luid.HighPart == shutdown.HighPart)
                enabled = entry.Attributes & SE_PRIVILEGE_ENABLED;
        }
    }
    CloseHandle(token);
    return enabled;
}

std::string versionString(const char *name)
{
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    DWORD ignored = 0;
    std::vector<char> info(GetFileVersionInfoSizeA(path, &ignored));
    char *value = nullptr;
    UINT length = 0;
    const std::string key = std::string("\\StringFileInfo\\040904B0\\") + name;
    if (info.empty() || !GetFileVersionInfoA(path, 0, info.size(), info.data()) ||
        !VerQueryValueA(info.data(), key.c_str(), reinterpret_cast<void **>(&value), &length))
        return "(missing)";
    return value;
}

} // namespace

int main()
{
    StandIn system;
    _putenv_s("OS", "Windows_NT");
    check(!shutdownPrivilegeEnabled(), "SeShutdownPrivilege starts disabled");
    std::string outcome = "(no answer)";
    poweroff::PowerOffNow(system, [&](const std::optional<std::string> &error) {
        outcome = error ? *error : "requested";
    });
    check(shutdownPrivilegeEnabled(), "SeShutdownPrivilege is enabled for the request");
    check(system.requests == std::vector<std::string>{"5, 0"}, "one request, flags 5, reserved 0");
    check(outcome == "requested", "the request is reported as made");

    // A failing call comes back in the system's own words.
    HANDLE token = nullptr;
    const bool opened = system.OpenProcessToken(nullptr, 0x28, token);
    std::printf("  the system's words: %s\n", system.lastError().c_str());
    check(!opened && system.lastError().find("(error 6)") != std::string::npos,
          "a failure carries its text");

    // The check at the start, and staying awake: set while on, cleared after.
    poweroff::NtRoad road(system);
    bool allowed = false;
    road.check([&](const poweroff::Readiness &readiness) { allowed = readiness.allowed; });
    check(system.holdsShutdownPrivilege() && allowed, "the account holds the shutdown privilege");
    const auto state = [] { return SetThreadExecutionState(0); }; // reads, changes nothing
    road.stayAwake(true);
    check(state() == (ES_CONTINUOUS | ES_SYSTEM_REQUIRED), "kept awake while on");
    road.stayAwake(false);
    check(state() == ES_CONTINUOUS, "free to sleep after");

    check(versionString("FileVersion") == VELTRANE_VERSION, "the file version, in 040904B0");
    check(versionString("ProductVersion") == VELTRANE_VERSION, "the product version");
    check(versionString("LegalCopyright").find("GPL-3.0-or-later") != std::string::npos,
          "the copyright and licence");
    // The program's icon as Explorer finds it: each size from 16 to 256 pixels (stored as 0).
    const HRSRC group = FindResourceA(nullptr, "IDI_ICON1", MAKEINTRESOURCEA(14)); // RT_GROUP_ICON
    const auto *directory =
        group ? static_cast<const BYTE *>(LockResource(LoadResource(nullptr, group))) : nullptr;
    std::string sides;
    for (int i = 0; directory && i < *reinterpret_cast<const WORD *>(directory + 4); ++i)
        sides += std::to_string(directory[6 + 14 * i]) + " "; // GRPICONDIRENTRY's width
    check(sides == "16 20 24 32 40 48 64 0 ", "the icon's sizes: " + sides);
    // The manifest Windows reads: run as the user who started it, in the context of Windows 10
    // and 11, not of Windows 8.
    const HRSRC found = FindResourceA(nullptr, MAKEINTRESOURCEA(1), MAKEINTRESOURCEA(24));
    const std::string manifest =
        found ? std::string(static_cast<const char *>(LockResource(LoadResource(nullptr, found))),
                            SizeofResource(nullptr, found))
              : std::string();
    check(manifest.find("level=\"asInvoker\"") != std::string::npos &&
              manifest.find("{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}") != std::string::npos,
          "the manifest asks for no elevation and names Windows 10 and 11");
    return failed();
}
