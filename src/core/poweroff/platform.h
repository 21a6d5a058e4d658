#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

// The operating system services the power-off procedures use, with the Windows SDK's names and
// record layouts, so that a Win32 road can pass them straight through and a test can record
// every call. No toolkit and no Windows header here: this must build anywhere.
namespace poweroff {

struct OsVersionInfo {
    std::uint32_t dwOSVersionInfoSize = 0;
    std::uint32_t dwMajorVersion = 0;
    std::uint32_t dwMinorVersion = 0;
    std::uint32_t dwBuildNumber = 0;
    std::uint32_t dwPlatformId = 0;
    char szCSDVersion[128] = {};
};
static_assert(sizeof(OsVersionInfo) == 148);

struct PrivilegeLuid {
    std::uint32_t LowPart = 0;
    std::int32_t HighPart = 0;
};

struct LuidAndAttributes {
    PrivilegeLuid Luid;
    std::uint32_t Attributes = 0;
};

// Room for two entries, so that the previous state the system may write back has space to spare.
struct TokenPrivileges {
    std::uint32_t PrivilegeCount = 0;
    LuidAndAttributes Privileges[2];
};
static_assert(sizeof(TokenPrivileges) == 28);

using Handle = void *;

inline constexpr std::uint32_t TokenAdjustPrivilegesOrQuery = 0x28;
inline constexpr std::uint32_t SePrivilegeEnabled = 2;
inline constexpr std::uint32_t VerPlatformWin32Nt = 2;
inline constexpr std::uint32_t EwxShutdown = 1;
inline constexpr std::uint32_t EwxForce = 4;
inline constexpr std::uint32_t EsSystemRequired = 0x00000001;
inline constexpr std::uint32_t EsContinuous = 0x80000000;

class Platform {
public:
    // Called once with no value when the request was accepted, or with the system's words.
    using Done = std::function<void(const std::optional<std::string> &error)>;

    virtual ~Platform() = default;

    // A missing variable reads as empty.
    virtual std::string environmentVariable(const std::string &name) = 0;
    virtual bool GetVersionExA(OsVersionInfo &info) = 0;
    virtual Handle GetCurrentProcess() = 0;
    virtual bool OpenProcessToken(Handle process, std::uint32_t access, Handle &token) = 0;
    virtual bool LookupPrivilegeValueA(const char *systemName, const char *name,
                                       PrivilegeLuid &luid) = 0;
    // Fails also when the privilege was not assigned (ERROR_NOT_ALL_ASSIGNED on Windows).
    virtual bool AdjustTokenPrivileges(Handle token, bool disableAll,
                                       const TokenPrivileges &newState, std::uint32_t bufferLength,
                                       TokenPrivileges &previousState,
                                       std::uint32_t &returnLength) = 0;
    virtual bool CloseHandle(Handle handle) = 0;
    // The request itself; it may answer later, on the same thread.
    virtual void ExitWindowsEx(std::uint32_t flags, std::uint32_t reserved, Done done) = 0;
    // The system's words for the last call that failed.
    virtual std::string lastError() = 0;

    // Whether the process's token holds the shutdown privilege at all, enabled or not.
    virtual bool holdsShutdownPrivilege() = 0;
    // Returns the state before.
    virtual std::uint32_t SetThreadExecutionState(std::uint32_t flags) = 0;
};

} // namespace poweroff
