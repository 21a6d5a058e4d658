#pragma once

#include "road.h"

#include <functional>
#include <string>

namespace poweroff {

// A rehearsal: asks the system's road everything but the request itself, which it only reports
// as one line, given to print.
class DryRunRoad final : public Road {
public:
    using Print = std::function<void(const std::string &line)>;
    DryRunRoad(Road &system, Print print) : m_system(system), m_print(std::move(print)) {}

    void check(Checked done) override { m_system.check(std::move(done)); }
    void request(Answered done) override;
    void stayAwake(bool awake) override { m_system.stayAwake(awake); }

private:
    Road &m_system;
    Print m_print;
};

} // namespace poweroff
