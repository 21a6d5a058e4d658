#include "dryrunroad.h"

#include <ostream>

namespace poweroff {

void DryRunRoad::request(Answered done)
{
    // Flushed at once: another program may be waiting for this line. The flags are the ones a
    // real request asks for: shut down, and close programs by force.
    m_out << "dry run: power-off requested (flags 5)" << std::endl;
    done({poweroff::Outcome::Kind::Accepted, {}, "a dry run: nothing was asked of the system"});
}

} // namespace poweroff
