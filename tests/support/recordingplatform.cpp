#include "recordingplatform.h"

#include <algorithm>
#include <utility>

namespace {

poweroff::Handle fakeHandle(std::uintptr_t value)
{
    return reinterpret_cast<poweroff::Handle>(value);
}

} // namespace

bool RecordingPlatform::result(const std::string &call)
{
    if (!failing.count(call))
        return true;
    lastErrorText = call + " failed";
    return false;
}

std::string RecordingPlatform::environmentVariable(const std::string &name)
{
    const auto found = environment.find(name);
    return found == environment.end() ? std::string() : found->second;
}

bool RecordingPlatform::GetVersionExA(poweroff::OsVersionInfo &info)
{
    calls.push_back("GetVersionExA(" + std::to_string(info.dwOSVersionInfoSize) + ")");
    info.dwPlatformId = platformId;
    return result("GetVersionExA");
}

poweroff::Handle RecordingPlatform::GetCurrentProcess()
{
    calls.push_back("GetCurrentProcess()");
    return fakeHandle(0x10);
}

bool RecordingPlatform::OpenProcessToken(poweroff::Handle process, std::uint32_t access,
                                         poweroff::Handle &token)
{
    calls.push_back("OpenProcessToken(" +
                    std::string(process == fakeHandle(0x10) ? "process" : "?") + ", " +
                    std::to_string(access) + ")");
    token = fakeHandle(0x20);
    return result("OpenProcessToken");
}

bool RecordingPlatform::LookupPrivilegeValueA(const char *systemName, const char *name,
                                              poweroff::PrivilegeLuid &luid)
{
    calls.push_back("LookupPrivilegeValueA(" +
                    (systemName ? "\"" + std::string(systemName) + "\"" : std::string("null")) +
                    ", " + name + ")");
    luid.LowPart = 19;
    luid.HighPart = 7;
    return result("LookupPrivilegeValueA");
}

bool RecordingPlatform::AdjustTokenPrivileges(poweroff::Handle token, bool disableAll,
                                              const poweroff::TokenPrivileges &newState,
                                              std::uint32_t bufferLength,
                                              poweroff::TokenPrivileges &previousState,
                                              std::uint32_t &returnLength)
{
    const auto &entry = newState.Privileges[0];
    calls.push_back(
        "AdjustTokenPrivileges(" + std::string(token == fakeHandle(0x20) ? "token" : "?") + ", " +
        (disableAll ? "true" : "false") + ", count=" + std::to_string(newState.PrivilegeCount) +
        ", luid=" + std::to_string(entry.Luid.LowPart) + ":" + std::to_string(entry.Luid.HighPart) +
        ", attributes=" + std::to_string(entry.Attributes) +
        ", length=" + std::to_string(bufferLength) +
        ", previous=" + std::to_string(previousState.PrivilegeCount) +
        ", returnLength=" + std::to_string(returnLength) + ")");
    return result("AdjustTokenPrivileges");
}

bool RecordingPlatform::CloseHandle(poweroff::Handle handle)
{
    calls.push_back("CloseHandle(" + std::string(handle == fakeHandle(0x20) ? "token" : "?") + ")");
    return result("CloseHandle");
}

void RecordingPlatform::ExitWindowsEx(std::uint32_t flags, std::uint32_t reserved, Done done)
{
    calls.push_back("ExitWindowsEx(" + std::to_string(flags) + ", " + std::to_string(reserved) +
                    ")");
    if (answerLater) {
        m_pending = std::move(done);
        return;
    }
    if (result("ExitWindowsEx"))
        done(std::nullopt);
    else
        done(refusal);
}

void RecordingPlatform::answer(const std::optional<std::string> &error)
{
    if (Done done = std::exchange(m_pending, nullptr))
        done(error);
}

int RecordingPlatform::requests() const
{
    return static_cast<int>(std::count_if(calls.begin(), calls.end(), [](const std::string &call) {
        return call.rfind("ExitWindowsEx", 0) == 0;
    }));
}
