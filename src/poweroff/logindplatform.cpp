#include "logindplatform.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

#include <cstdlib>

namespace poweroff {

namespace {

const char NotWindows[] = "There is no Windows token on this system";

} // namespace

LogindPlatform::LogindPlatform(int replyTimeoutMs) : m_replyTimeoutMs(replyTimeoutMs)
{
}

std::string LogindPlatform::environmentVariable(const std::string &name)
{
    const char *value = std::getenv(name.c_str());
    return value ? value : "";
}

bool LogindPlatform::GetVersionExA(OsVersionInfo &info)
{
    // Not Windows: report no platform at all, which is not the NT family.
    info.dwPlatformId = 0;
    return true;
}

Handle LogindPlatform::GetCurrentProcess()
{
    return nullptr;
}

bool LogindPlatform::OpenProcessToken(Handle, std::uint32_t, Handle &token)
{
    token = nullptr;
    return false;
}

bool LogindPlatform::LookupPrivilegeValueA(const char *, const char *, PrivilegeLuid &)
{
    return false;
}

bool LogindPlatform::AdjustTokenPrivileges(Handle, bool, const TokenPrivileges &, std::uint32_t,
                                           TokenPrivileges &, std::uint32_t &)
{
    return false;
}

bool LogindPlatform::CloseHandle(Handle)
{
    return true;
}

void LogindPlatform::ExitWindowsEx(std::uint32_t, std::uint32_t, Done done)
{
    // logind's PowerOff has no force flag: it ends the session's programs itself, and only
    // inhibitor locks can hold it back. interactive=false: an unattended timer must never
    // wait on a password prompt; polkit decides at once.
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1"),
        QStringLiteral("org.freedesktop.login1.Manager"), QStringLiteral("PowerOff"));
    call << false;
    const QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected()) {
        const QDBusError error = bus.lastError();
        done("the system bus is not reachable" +
             (error.isValid() ? ": " + error.message().toStdString() : std::string()));
        return;
    }
    auto *watcher = new QDBusPendingCallWatcher(bus.asyncCall(call, m_replyTimeoutMs), &m_calls);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, &m_calls,
                     [done = std::move(done)](QDBusPendingCallWatcher *finished) {
                         const QDBusPendingReply<> reply = *finished;
                         finished->deleteLater();
                         if (!reply.isError()) {
                             done(std::nullopt);
                             return;
                         }
                         const QDBusError error = reply.error();
                         done(error.name().toStdString() + ": " + error.message().toStdString());
                     });
}

std::string LogindPlatform::lastError()
{
    return NotWindows;
}

} // namespace poweroff
