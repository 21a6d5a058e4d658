#pragma once

#include "road.h"

#include <iosfwd>

namespace poweroff {

// A rehearsal: asks the system's road everything but the request itself, which it only reports
// as one line on the given stream.
class DryRunRoad final : public Road {
public:
    DryRunRoad(Road &system, std::ostream &out) : m_system(system), m_out(out) {}

    void check(Checked done) override { m_system.check(std::move(done)); }
    void request(Answered done) override;
    void stayAwake(bool awake) override { m_system.stayAwake(awake); }

private:
    Road &m_system;
    std::ostream &m_out;
};

} // namespace poweroff
