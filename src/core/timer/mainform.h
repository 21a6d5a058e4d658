#pragma once

#include "ui/window.h"

#include <cstdint>
#include <ctime>
#include <functional>
#include <memory>
#include <optional>
#include <string>

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

    // As a user would: the spinners set to the span, and Start; a countdown already running
    // stops first. With `until`, a time of the clock, the fields follow the clock from then on:
    // after a sleep or a change of the clock they show the time left until then.
    void startFor(std::int32_t seconds, std::optional<std::time_t> until = {});
    // Where the time of the clock comes from.
    void setClock(std::function<std::time_t()> clock) { m_clock = std::move(clock); }
    // As the warning's Cancel does, or, while the countdown runs, as the toggle stops it.
    // False when there was nothing to stop.
    bool cancel();
    bool isWarningOpen() const;
    bool isCounting() const { return m_timer.enabled(); }
    // Puts the end off: the warning, where it is open, ends as its Cancel ends it, and the
    // countdown starts again from `seconds`. False when nothing was counting or warning.
    bool snooze(std::int32_t seconds);
    // Runs when the countdown starts or stops, and when the warning opens or closes.
    void onChange(ui::Handler changed) { m_changed = std::move(changed); }
    // Brings the warning to the front where it is open, else this window.
    void keepInSight();
    // No notifications 5 minutes and 1 minute before the end.
    void setQuiet(bool quiet) { m_quiet = quiet; }

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
    // Stops the countdown, as a run that ends without the warning.
    void halt();
    // Toggles the countdown as a click on the start button does.
    void toggle(bool on);
    // Says on the desktop, 5 minutes and 1 minute before the end, when the computer will be
    // turned off, for a countdown started with more than that left.
    void headsUp(std::int32_t left);
    // Says when the computer will be turned off ("in 5 minutes, at 23:40"), with Stop and a
    // way to put it off.
    void tellTheEnd(const std::string &when, std::time_t end);
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
    std::int32_t m_startedWith = 0;
    bool m_quiet = false;
    std::optional<std::time_t> m_until; // the clock time a countdown runs to, if it names one
    std::function<std::time_t()> m_clock = [] { return std::time(nullptr); };
    ui::Handler m_changed;
    bool m_snoozing = false; // told once, when the countdown runs again
    void changed() const
    {
        if (m_changed && !m_snoozing)
            m_changed();
    }
};

} // namespace timer
