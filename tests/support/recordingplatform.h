#pragma once

#include "poweroff/platform.h"

#include <map>
#include <set>
#include <string>
#include <vector>

// A stand-in for the operating system that records every call and never powers anything off.
class RecordingPlatform final : public poweroff::Platform {
public:
    std::string environmentVariable(const std::string &name) override;
    bool GetVersionExA(poweroff::OsVersionInfo &info) override;
    poweroff::Handle GetCurrentProcess() override;
    bool OpenProcessToken(poweroff::Handle process, std::uint32_t access,
                          poweroff::Handle &token) override;
    bool LookupPrivilegeValueA(const char *systemName, const char *name,
                               poweroff::PrivilegeLuid &luid) override;
    bool AdjustTokenPrivileges(poweroff::Handle token, bool disableAll,
                               const poweroff::TokenPrivileges &newState,
                               std::uint32_t bufferLength, poweroff::TokenPrivileges &previousState,
                               std::uint32_t &returnLength) override;
    bool CloseHandle(poweroff::Handle handle) override;
    void ExitWindowsEx(std::uint32_t flags, std::uint32_t reserved, Done done) override;
    std::string lastError() override { return lastErrorText; }

    // The system it plays.
    std::map<std::string, std::string> environment;
    std::uint32_t platformId = poweroff::VerPlatformWin32Nt;
    std::set<std::string> failing; // names of the calls that fail
    std::string refusal = "Access is denied";
    bool answerLater = false; // keep the request's answer for answer()
    void answer(const std::optional<std::string> &error);

    std::vector<std::string> calls;
    int requests() const;

private:
    bool result(const std::string &call);
    std::string lastErrorText;
    Done m_pending;
};
