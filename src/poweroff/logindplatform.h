#pragma once

#include "platform.h"

#include <QObject>

namespace poweroff {

// Linux: asks systemd-logind over the system bus to power off. There is no Windows version to
// report and no privilege to enable here; logind asks polkit whether the caller may.
class LogindPlatform final : public Platform {
public:
    // How long a request waits for logind's answer before it gives up.
    explicit LogindPlatform(int replyTimeoutMs = 10000);
    int replyTimeoutMs() const { return m_replyTimeoutMs; }

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
    int m_replyTimeoutMs;
    QObject m_calls; // parent of the replies still awaited
};

} // namespace poweroff
