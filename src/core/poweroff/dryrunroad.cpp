#include "dryrunroad.h"

#include "platform.h"

namespace poweroff {

void DryRunRoad::request(Answered done)
{
    // The flags are the ones a real request asks for: shut down, and close programs by force.
    m_print("dry run: power-off requested (flags " + std::to_string(EwxShutdown | EwxForce) + ")");
    done({poweroff::Outcome::Kind::Accepted, {}, "a dry run: nothing was asked of the system"});
}

} // namespace poweroff
