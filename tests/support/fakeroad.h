#pragma once

#include "poweroff/road.h"

#include <utility>
#include <vector>

// A stand-in for the system's road that asks nothing: checks and requests are answered as the
// test says, at once or when it says so.
class FakeRoad final : public poweroff::Road {
public:
    poweroff::Readiness readiness;
    poweroff::Outcome outcome; // the answer to every request
    bool hold = false;         // keep the answers until answer()
    int requests = 0;
    bool awake = false;

    void check(Checked done) override
    {
        hold ? m_checks.push_back(std::move(done)) : done(readiness);
    }
    void request(Answered done) override
    {
        ++requests;
        hold ? m_pending.push_back(std::move(done)) : done(outcome);
    }
    void stayAwake(bool on) override { awake = on; }
    // Gives the kept answers; a Waiting one keeps the requests' for later.
    void answer(const poweroff::Outcome &given)
    {
        for (const Checked &done : std::exchange(m_checks, {}))
            done(readiness);
        auto pending = given.kind == poweroff::Outcome::Kind::Waiting
                           ? m_pending
                           : std::exchange(m_pending, {});
        for (const Answered &done : pending)
            done(given);
    }

private:
    std::vector<Checked> m_checks;
    std::vector<Answered> m_pending;
};
