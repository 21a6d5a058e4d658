#pragma once

#include "poweroff/platform.h"

namespace poweroff {

// The real Win32 calls. Built for Windows only.
class Win32Platform : public Platform {
public:
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
    bool holdsShutdownPrivilege() override;
    std::uint32_t SetThreadExecutionState(std::uint32_t flags) override;

private:
    unsigned long m_lastError = 0;
};

} // namespace poweroff
