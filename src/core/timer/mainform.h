#pragma once

#include "ui/window.h"

#include <cstdint>
#include <memory>

namespace confirm {
class ShutDownForm;
}
namespace poweroff {
class Road;
}

namespace timer {

// The quick off timer. The time left lives only in the captions of the three time fields:
// every tick reads it from there and writes it back.
class MainForm final {
public:
    MainForm(ui::Runtime &runtime, poweroff::Road &road);
    ~MainForm();

    ui::Window &window() { return *m_window; }
    // The warning window, once a run has needed it.
    confirm::ShutDownForm *shutDownForm() const { return m_shutDown.get(); }

    std::int32_t GetQuickTimerSeconds() const;
    void ShowQuickTimerSeconds(std::int32_t total);

    void scrollHours_Change();
    void scrollMinutes_Change();
    void scrollSeconds_Change();
    void cmdStartQuickTimer_Click();
    void MyButton2_Click();
    void tmrQuickTimer_Timer();

private:
    // Wraps the spinner's position at the ends of its range and shows it in its field.
    static void spinnerChanged(ui::Window::ScrollBar &spinner, ui::Window::Label &field,
                               const char *name);
    void stop();
    // Asks whether the power-off will be allowed, while the user is still there to hear it.
    void checkTheRoad();

    ui::Runtime &m_runtime;
    poweroff::Road &m_road;
    std::unique_ptr<ui::Window> m_window;
    ui::Window::Label &m_hours;
    ui::Window::Label &m_minutes;
    ui::Window::Label &m_seconds;
    ui::Window::ScrollBar &m_hoursSpinner;
    ui::Window::ScrollBar &m_minutesSpinner;
    ui::Window::ScrollBar &m_secondsSpinner;
    ui::Window::Button &m_startButton;
    ui::Window::Timer &m_timer;
    std::unique_ptr<confirm::ShutDownForm> m_shutDown;
    int m_runs = 0; // tells an answer for an earlier run of the countdown
};

} // namespace timer
