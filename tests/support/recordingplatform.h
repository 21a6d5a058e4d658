#pragma once

#include "poweroff/platform.h"

#include <algorithm>
#include <set>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

// A stand-in for the operating system that records every call with every value passed, as in
// "OpenProcessToken(process, 40)", and never powers anything off.
class RecordingPlatform final : public poweroff::Platform {
public:
    // The system it plays.
    std::string os; // the variable "OS"; empty when unset
    std::uint32_t platformId = poweroff::VerPlatformWin32Nt;
    std::set<std::string> failing; // the calls that fail
    std::string refusal = "Access is denied";
    bool shutdownPrivilege = true;

    std::vector<std::string> calls;
    int requests() const
    {
        return int(std::count_if(calls.begin(), calls.end(), [](const std::string &c) {
            return c.rfind("ExitWindowsEx") == 0;
        }));
    }

    std::string environmentVariable(const std::string &name) override
    {
        return name == "OS" ? os : "";
    }
    bool GetVersionExA(poweroff::OsVersionInfo &info) override
    {
        info.dwPlatformId = platformId;
        return record("GetVersionExA", info.dwOSVersionInfoSize);
    }
    poweroff::Handle GetCurrentProcess() override { return record("GetCurrentProcess"), Process; }
    bool OpenProcessToken(poweroff::Handle process, std::uint32_t access,
                          poweroff::Handle &token) override
    {
        token = Token;
        return record("OpenProcessToken", name(process), access);
    }
    bool LookupPrivilegeValueA(const char *system, const char *name,
                               poweroff::PrivilegeLuid &luid) override
    {
        luid = {19, 7};
        return record("LookupPrivilegeValueA", system ? '"' + std::string(system) + '"' : "null",
                      name);
    }
    bool AdjustTokenPrivileges(poweroff::Handle token, bool disableAll,
                               const poweroff::TokenPrivileges &newState, std::uint32_t length,
                               poweroff::TokenPrivileges &previousState,
                               std::uint32_t &returnLength) override
    {
        const poweroff::LuidAndAttributes &entry = newState.Privileges[0];
        return record("AdjustTokenPrivileges", name(token), disableAll,
                      "count=" + std::to_string(newState.PrivilegeCount),
                      "luid=" + std::to_string(entry.Luid.LowPart) + ':' +
                          std::to_string(entry.Luid.HighPart),
                      "attributes=" + std::to_string(entry.Attributes),
                      "length=" + std::to_string(length),
                      "previous=" + std::to_string(previousState.PrivilegeCount),
                      "returnLength=" + std::to_string(returnLength));
    }
    bool CloseHandle(poweroff::Handle handle) override
    {
        return record("CloseHandle", name(handle));
    }
    void ExitWindowsEx(std::uint32_t flags, std::uint32_t reserved, Done done) override
    {
        done(record("ExitWindowsEx", flags, reserved) ? std::nullopt : std::optional(refusal));
    }
    std::string lastError() override { return m_lastError; }
    bool holdsShutdownPrivilege() override { return shutdownPrivilege; }
    std::uint32_t SetThreadExecutionState(std::uint32_t flags) override
    {
        std::ostringstream hex;
        hex << std::hex << std::showbase << flags;
        record("SetThreadExecutionState", hex.str());
        return 0;
    }

private:
    inline static const auto Process = reinterpret_cast<poweroff::Handle>(0x10);
    inline static const auto Token = reinterpret_cast<poweroff::Handle>(0x20);
    static std::string name(poweroff::Handle h)
    {
        return h == Process ? "process" : h == Token ? "token" : "?";
    }

    // Records the call; it succeeds unless it is one of the failing.
    template <typename... Args> bool record(const std::string &function, const Args &...args)
    {
        std::ostringstream call;
        call << std::boolalpha << function << '(';
        [[maybe_unused]] const char *separator = "";
        ((call << separator << args, separator = ", "), ...);
        calls.push_back(call.str() + ')');
        m_lastError = function + " failed";
        return !failing.count(function);
    }

    std::string m_lastError;
};
