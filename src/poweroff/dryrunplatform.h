#pragma once

#include "platform.h"

#include <iosfwd>

namespace poweroff {

// Passes every call to the real platform except the request itself, which it only reports as
// one line on the given stream.
class DryRunPlatform final : public Platform {
public:
    DryRunPlatform(Platform &system, std::ostream &out);

    std::string environmentVariable(const std::string &name) override;
    bool GetVersionExA(OsVersionInfo &info) override;
    Handle GetCurrentProcess() override;
    bool OpenProcessToken(Handle process, std::uint32_t access, Handle &token) override;
    bool LookupPrivilegeValueA(const char *systemName, const char *name,
                               PrivilegeLuid &luid) override;
    bool AdjustTokenPrivileges(Handle token, bool disableAll, const TokenPrivileges &newState,
                               std::uint32_t bufferLength, TokenPrivileges &previousState,
                               std::uint32_t &returnLength) override;
    bool CloseHandle(Handle handle) override;
    void ExitWindowsEx(std::uint32_t flags, std::uint32_t reserved, Done done) override;
    std::string lastError() override;

private:
    Platform &m_system;
    std::ostream &m_out;
};

} // namespace poweroff
