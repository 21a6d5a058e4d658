// The Win32 power-off road for real, under Wine: the privilege step runs through the real
// calls, and the request goes to a recording stand-in, never to ExitWindowsEx.
#include "poweroff/poweroff.h"
#include "poweroff/win32platform.h"

#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

int passed = 0;
int failed = 0;

void check(bool ok, const char *what)
{
    std::printf("%s: %s\n", ok ? "PASS" : "FAIL", what);
    ok ? ++passed : ++failed;
}

class StandIn final : public poweroff::Win32Platform {
public:
    void ExitWindowsEx(std::uint32_t flags, std::uint32_t reserved, Done done) override
    {
        requests.push_back(flags);
        reserveds.push_back(reserved);
        done(std::nullopt);
    }
    std::vector<std::uint32_t> requests;
    std::vector<std::uint32_t> reserveds;
};

bool shutdownPrivilegeEnabled()
{
    HANDLE token = nullptr;
    if (!OpenProcessToken(GetCurrentProcess(), TOKEN_QUERY, &token))
        return false;
    LUID shutdown{};
    LookupPrivilegeValueA(nullptr, "SeShutdownPrivilege", &shutdown);
    DWORD size = 0;
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

std::string versionString(const std::vector<char> &info, const char *name)
{
    char *value = nullptr;
    UINT length = 0;
    const std::string path = std::string("\\StringFileInfo\\040904B0\\") + name;
    if (!VerQueryValueA(info.data(), path.c_str(), reinterpret_cast<void **>(&value), &length))
        return "(missing)";
    return std::string(value);
}

void versionRecord()
{
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeA(path, &ignored);
    std::vector<char> info(size);
    check(size && GetFileVersionInfoA(path, 0, size, info.data()), "the version record is there");
    check(versionString(info, "FileVersion") == "1.00", "file version 1.00 in block 040904B0");
    check(versionString(info, "ProductVersion") == "1.00", "product version 1.00");
    check(LoadIconA(GetModuleHandleA(nullptr), "IDI_ICON1") != nullptr, "the icon is there");
}

} // namespace

int main()
{
    StandIn system;
    _putenv_s("OS", "Windows_NT");
    check(!shutdownPrivilegeEnabled(), "SeShutdownPrivilege starts disabled");
    check(poweroff::IsWindowsNT(system), "Wine reports the NT family");

    std::string outcome = "(no answer)";
    poweroff::PowerOffNow(system, [&](const std::optional<std::string> &error) {
        outcome = error ? *error : "requested";
    });
    check(shutdownPrivilegeEnabled(), "SeShutdownPrivilege is enabled after the request");
    check(system.requests == std::vector<std::uint32_t>{5} && system.reserveds.front() == 0,
          "one request with flags 5 and reserved 0");
    check(outcome == "requested", "the request is reported as made");

    // A failing call comes back in the system's own words.
    HANDLE token = nullptr;
    const bool opened = system.OpenProcessToken(nullptr, 0x28, token);
    const std::string words = system.lastError();
    std::printf("  system's words: %s\n", words.c_str());
    check(!opened && words.find("(error 6)") != std::string::npos, "a failure carries its text");

    versionRecord();

    std::printf("%d passed, %d failed\n", passed, failed);
    return failed == 0 ? 0 : 1;
}
