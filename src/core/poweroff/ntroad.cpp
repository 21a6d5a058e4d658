#include "ntroad.h"

#include "poweroff.h"

namespace poweroff {

void NtRoad::check(Checked done)
{
    // An ordinary desktop account holds the privilege, disabled; the request enables it.
    if (m_platform.holdsShutdownPrivilege()) {
        done({});
        return;
    }
    done({.allowed = false,
          .words = "This account may not turn the computer off.",
          .reason = "this account may not",
          .advice = "An administrator can give it the right to shut down the system, or you can "
                    "turn the computer off yourself when the time is up.",
          .detail = "The process's token does not hold SeShutdownPrivilege."});
}

void NtRoad::request(Answered done)
{
    PowerOffNow(m_platform, [done = std::move(done)](const std::optional<std::string> &error) {
        if (error)
            done({Outcome::Kind::Refused, *error, *error});
        else
            done({});
    });
}

void NtRoad::stayAwake(bool awake)
{
    m_platform.SetThreadExecutionState(awake ? EsContinuous | EsSystemRequired : EsContinuous);
}

} // namespace poweroff
