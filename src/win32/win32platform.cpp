#include "win32platform.h"

#include "handles.h"

#include <windows.h>

#include <algorithm>
#include <cstddef>
#include <cstdlib>
#include <iterator>
#include <string>
#include <vector>

namespace poweroff {

static_assert(sizeof(OSVERSIONINFOA) == sizeof(OsVersionInfo));
static_assert(offsetof(OSVERSIONINFOA, dwPlatformId) == offsetof(OsVersionInfo, dwPlatformId));
static_assert(sizeof(LUID) == sizeof(PrivilegeLuid));
static_assert(sizeof(LUID_AND_ATTRIBUTES) == sizeof(LuidAndAttributes));
static_assert(EsContinuous == ES_CONTINUOUS && EsSystemRequired == ES_SYSTEM_REQUIRED);

using ui::win32::UniqueHandle;

std::string Win32Platform::environmentVariable(const std::string &name)
{
    const char *value = std::getenv(name.c_str());
    return value ? value : "";
}

bool Win32Platform::GetVersionExA(OsVersionInfo &info)
{
    OSVERSIONINFOA system{};
    system.dwOSVersionInfoSize = info.dwOSVersionInfoSize;
    const bool ok = ::GetVersionExA(&system);
    m_lastError = ok ? 0 : ::GetLastError();
    info.dwMajorVersion = system.dwMajorVersion;
    info.dwMinorVersion = system.dwMinorVersion;
    info.dwBuildNumber = system.dwBuildNumber;
    info.dwPlatformId = system.dwPlatformId;
    std::copy(std::begin(system.szCSDVersion), std::end(system.szCSDVersion), info.szCSDVersion);
    return ok;
}

Handle Win32Platform::GetCurrentProcess()
{
    return ::GetCurrentProcess();
}

bool Win32Platform::OpenProcessToken(Handle process, std::uint32_t access, Handle &token)
{
    HANDLE opened = nullptr;
    const bool ok = ::OpenProcessToken(process, access, &opened);
    m_lastError = ok ? 0 : ::GetLastError();
    token = ok ? opened : nullptr;
    return ok;
}

bool Win32Platform::LookupPrivilegeValueA(const char *systemName, const char *name,
                                          PrivilegeLuid &luid)
{
    LUID found{};
    const bool ok = ::LookupPrivilegeValueA(systemName, name, &found);
    m_lastError = ok ? 0 : ::GetLastError();
    luid.LowPart = found.LowPart;
    luid.HighPart = found.HighPart;
    return ok;
}

bool Win32Platform::AdjustTokenPrivileges(Handle token, bool disableAll,
                                          const TokenPrivileges &newState,
                                          std::uint32_t bufferLength,
                                          TokenPrivileges &previousState,
                                          std::uint32_t &returnLength)
{
    // The records are laid out as TOKEN_PRIVILEGES with room for two entries.
    DWORD length = returnLength;
    const bool called = ::AdjustTokenPrivileges(
        token, disableAll,
        reinterpret_cast<PTOKEN_PRIVILEGES>(const_cast<TokenPrivileges *>(&newState)), bufferLength,
        reinterpret_cast<PTOKEN_PRIVILEGES>(&previousState), &length);
    // Success can still mean the privilege was not held: that is ERROR_NOT_ALL_ASSIGNED.
    m_lastError = ::GetLastError();
    returnLength = length;
    return called && m_lastError == ERROR_SUCCESS;
}

bool Win32Platform::CloseHandle(Handle handle)
{
    const bool ok = ::CloseHandle(handle);
    m_lastError = ok ? 0 : ::GetLastError();
    return ok;
}

void Win32Platform::ExitWindowsEx(std::uint32_t flags, std::uint32_t reserved, Done done)
{
    const bool ok = ::ExitWindowsEx(flags, reserved);
    m_lastError = ok ? 0 : ::GetLastError();
    if (ok)
        done(std::nullopt);
    else
        done(lastError());
}

std::string Win32Platform::lastError()
{
    char *text = nullptr;
    const DWORD length = ::FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, m_lastError, 0, reinterpret_cast<LPSTR>(&text), 0, nullptr);
    std::string message = length ? std::string(text, length) : std::string();
    ::LocalFree(text);
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r' ||
                                message.back() == ' ' || message.back() == '.'))
        message.pop_back();
    return message + " (error " + std::to_string(m_lastError) + ")";
}

bool Win32Platform::holdsShutdownPrivilege()
{
    HANDLE opened = nullptr;
    LUID shutdown{};
    if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, &opened))
        return false;
    const UniqueHandle token(opened);
    DWORD size = 0;
    ::GetTokenInformation(token.get(), ::TokenPrivileges, nullptr, 0, &size);
    std::vector<unsigned char> buffer(size);
    if (!::LookupPrivilegeValueA(nullptr, "SeShutdownPrivilege", &shutdown) || buffer.empty() ||
        !::GetTokenInformation(token.get(), ::TokenPrivileges, buffer.data(), size, &size))
        return false;
    const auto *held = reinterpret_cast<const TOKEN_PRIVILEGES *>(buffer.data());
    for (DWORD i = 0; i < held->PrivilegeCount; ++i)
        if (held->Privileges[i].Luid.LowPart == shutdown.LowPart &&
            held->Privileges[i].Luid.HighPart == shutdown.HighPart)
            return true;
    return false;
}

std::uint32_t Win32Platform::SetThreadExecutionState(std::uint32_t flags)
{
    return ::SetThreadExecutionState(flags);
}

} // namespace poweroff
