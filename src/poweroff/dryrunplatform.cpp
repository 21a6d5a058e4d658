#include "dryrunplatform.h"

#include <ostream>

namespace poweroff {

DryRunPlatform::DryRunPlatform(Platform &system, std::ostream &out) : m_system(system), m_out(out)
{
}

std::string DryRunPlatform::environmentVariable(const std::string &name)
{
    return m_system.environmentVariable(name);
}

bool DryRunPlatform::GetVersionExA(OsVersionInfo &info)
{
    return m_system.GetVersionExA(info);
}

Handle DryRunPlatform::GetCurrentProcess()
{
    return m_system.GetCurrentProcess();
}

bool DryRunPlatform::OpenProcessToken(Handle process, std::uint32_t access, Handle &token)
{
    return m_system.OpenProcessToken(process, access, token);
}

bool DryRunPlatform::LookupPrivilegeValueA(const char *systemName, const char *name,
                                           PrivilegeLuid &luid)
{
    return m_system.LookupPrivilegeValueA(systemName, name, luid);
}

bool DryRunPlatform::AdjustTokenPrivileges(Handle token, bool disableAll,
                                           const TokenPrivileges &newState,
                                           std::uint32_t bufferLength,
                                           TokenPrivileges &previousState,
                                           std::uint32_t &returnLength)
{
    return m_system.AdjustTokenPrivileges(token, disableAll, newState, bufferLength, previousState,
                                          returnLength);
}

bool DryRunPlatform::CloseHandle(Handle handle)
{
    return m_system.CloseHandle(handle);
}

void DryRunPlatform::ExitWindowsEx(std::uint32_t flags, std::uint32_t, Done done)
{
    // Flushed at once: another program may be waiting for this line.
    m_out << "dry run: power-off requested (flags " << flags << ")" << std::endl;
    done(std::nullopt);
}

std::string DryRunPlatform::lastError()
{
    return m_system.lastError();
}

} // namespace poweroff
