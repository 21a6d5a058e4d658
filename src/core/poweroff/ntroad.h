#pragma once

#include "platform.h"
#include "road.h"

namespace poweroff {

// Windows: the power-off procedures over the Win32 calls.
class NtRoad final : public Road {
public:
    explicit NtRoad(Platform &platform) : m_platform(platform) {}

    void check(Checked done) override;
    void request(Answered done) override;
    void stayAwake(bool awake) override;

private:
    Platform &m_platform;
};

} // namespace poweroff
