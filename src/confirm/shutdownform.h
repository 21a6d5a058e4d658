#pragma once

#include "poweroff/road.h"
#include "ui/window.h"

#include <cstdint>
#include <functional>
#include <memory>

namespace confirm {

// The last warning before power-off: counts 30 seconds down in its message and asks the system
// to power off when nobody has pressed Cancel. One instance serves every run; each showing
// loads the window afresh from its definition.
class ShutDownForm final {
public:
    ShutDownForm(ui::Runtime &runtime, poweroff::Road &road);

    // Loads the window and shows it modally over its owner; returns at once.
    void show(ui::Window &owner);
    bool isLoaded() const;
    ui::Window *window() const { return m_window.get(); }

    void Form_Load();
    void tmrShutDown_Timer();
    void cmdCancel_Click();

private:
    void PowerOffNow();
    void answered(const poweroff::Outcome &outcome);

    ui::Runtime &m_runtime;
    poweroff::Road &m_road;
    std::unique_ptr<ui::Window> m_window;
    ui::Window::Label *m_status = nullptr;
    ui::Window::Timer *m_timer = nullptr;
    std::int16_t SecondsLeft = 0;
    int m_loads = 0; // tells an answer for an earlier showing
};

// When the system says a power-off would not be allowed: one line in the log, and, while the
// run it was asked for is still on (current), the user is told over the window and may stop.
void tellNotAllowed(ui::Window &window, const poweroff::Readiness &readiness,
                    std::function<bool()> current, std::function<void()> stop);

} // namespace confirm
