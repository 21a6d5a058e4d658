#pragma once

#include "poweroff/road.h"
#include "ui/window.h"

#include <cstdint>
#include <ctime>
#include <memory>
#include <string>

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
    int secondsLeft() const { return SecondsLeft; }
    // What the notification's second action, "10 more minutes", does; none without one.
    void onLater(ui::Handler later) { m_later = std::move(later); }
    // Runs once each showing is over: cancelled, or closed.
    void onClose(ui::Handler closed) { m_closed = std::move(closed); }

    void Form_Load();
    void tmrShutDown_Timer();
    void cmdCancel_Click();

private:
    void PowerOffNow();
    void answered(const poweroff::Outcome &outcome);
    std::string message() const;
    // The same news outside the window, which a full-screen program may hide.
    void notify();

    ui::Runtime &m_runtime;
    poweroff::Road &m_road;
    std::unique_ptr<ui::Window> m_window;
    ui::Window::Label *m_status = nullptr;
    ui::Window::Timer *m_timer = nullptr;
    std::int16_t SecondsLeft = 0;
    std::time_t m_end = 0; // when the warning's time runs out, by the clock
    std::string m_problem; // why the power-off may not come, as the check found it
    int m_loads = 0;       // tells an answer for an earlier showing
    ui::Handler m_later;
    ui::Handler m_closed;
};

// One line in the log when the system says a power-off would not be allowed.
void logNotAllowed(const poweroff::Readiness &readiness);

} // namespace confirm
