#pragma once

#include "poweroff/platform.h"

#include <cstring>
#include <set>
#include <string>
#include <vector>

// Plays Windows as the power-off sees it, and never powers anything off: a shutdown is allowed
// on the NT family only while the process's token has the shutdown privilege enabled, which
// takes the token opened for adjusting, the privilege looked up by its name, and a new state that
// enables that one privilege, with room for the previous state. What the system was asked
// to do is kept, and whether every handle was closed.
class SimulatedWindows final : public poweroff::Platform {
public:
    std::string os;                         // the variable "OS"; empty when unset
    std::uint32_t platformId = poweroff::VerPlatformWin32Nt;
    std::set<std::string> failing;          // calls that fail for reasons of their own
    bool shutdownPrivilege = true;          // held by the account, disabled
    std::vector<std::uint32_t> shutdowns;   // the flags of each shutdown begun
    std::vector<std::uint32_t> awake;       // each execution state set
    bool tokenOpened = false;               // to adjust its privileges
    int openHandles = 0;

    std::string environmentVariable(const std::string &name) override
    {
        return name == "OS" ? os : "";
    }
    bool GetVersionExA(poweroff::OsVersionInfo &info) override
    {
        info.dwPlatformId = info.dwOSVersionInfoSize == sizeof info ? platformId : 0;
        return true;
    }
    poweroff::Handle GetCurrentProcess() override { return Process; }
    bool OpenProcessToken(poweroff::Handle process, std::uint32_t access,
                          poweroff::Handle &token) override
    {
        if (!succeeds("OpenProcessToken") || process != Process || (access & 0x28) != 0x28)
            return false;
        tokenOpened = true;
        ++openHandles;
        token = Token;
        return true;
    }
    bool LookupPrivilegeValueA(const char *system, const char *name,
                               poweroff::PrivilegeLuid &luid) override
    {
        if (!succeeds("LookupPrivilegeValueA") || !system || *system ||
            std::strcmp(name, "SeShutdownPrivilege") != 0)
            return false;
        luid = Shutdown;
        return true;
    }
    bool AdjustTokenPrivileges(poweroff::Handle token, bool disableAll,
                               const poweroff::TokenPrivileges &newState, std::uint32_t length,
                               poweroff::TokenPrivileges &, std::uint32_t &) override
    {
        const poweroff::LuidAndAttributes &entry = newState.Privileges[0];
        if (!succeeds("AdjustTokenPrivileges") || token != Token || disableAll ||
            newState.PrivilegeCount != 1 || entry.Luid.LowPart != Shutdown.LowPart ||
            entry.Luid.HighPart != Shutdown.HighPart || length < 16 || !shutdownPrivilege)
            return false;
        m_enabled = entry.Attributes == poweroff::SePrivilegeEnabled;
        return true;
    }
    bool CloseHandle(poweroff::Handle handle) override
    {
        openHandles -= handle == Token;
        return handle == Token;
    }
    void ExitWindowsEx(std::uint32_t flags, std::uint32_t reserved, Done done) override
    {
        const bool allowed = platformId != poweroff::VerPlatformWin32Nt || m_enabled;
        if (!allowed || reserved || !succeeds("ExitWindowsEx"))
            return done(m_error = "Access is denied");
        shutdowns.push_back(flags);
        done(std::nullopt);
    }
    std::string lastError() override { return m_error; }
    bool holdsShutdownPrivilege() override { return shutdownPrivilege; }
    std::uint32_t SetThreadExecutionState(std::uint32_t flags) override
    {
        awake.push_back(flags);
        return 0;
    }

private:
    inline static const auto Process = reinterpret_cast<poweroff::Handle>(0x10);
    inline static const auto Token = reinterpret_cast<poweroff::Handle>(0x20);
    static constexpr poweroff::PrivilegeLuid Shutdown{19, 0};

    bool succeeds(const std::string &call)
    {
        m_error = call + " failed";
        return !failing.count(call);
    }

    bool m_enabled = false;
    std::string m_error;
};
