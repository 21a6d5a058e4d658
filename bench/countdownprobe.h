#pragma once

#include "timer/mainform.h"

#include <QObject>

#include <chrono>
#include <vector>

namespace poweroff {
class Road;
}
namespace ui::qt {
class QtRuntime;
class TickTimer;
} // namespace ui::qt

// One real main window, shown, counting down with its own timer, each tick timed as it
// arrives. When the warning opens it is cancelled at once.
class CountdownProbe final : public QObject {
public:
    using Clock = std::chrono::steady_clock;

    CountdownProbe(ui::qt::QtRuntime &runtime, poweroff::Road &road);

    // Sets the fields to SECONDS and presses the toggle, as a user would.
    void start(int seconds);
    bool finished() const { return m_warning != Clock::time_point(); }

    // How far from start + k seconds tick k arrived, in milliseconds (negative: early).
    std::vector<double> latenessMs() const;
    // When the warning opened against start + SECONDS + 1 s.
    double warningDriftMs() const;
    double elapsedMs() const;

protected:
    bool eventFilter(QObject *object, QEvent *event) override;

private:
    void tickHandled();

    timer::MainForm m_form;
    ui::qt::TickTimer *m_timer;
    int m_seconds = 0;
    Clock::time_point m_start;
    Clock::time_point m_warning;
    std::vector<Clock::time_point> m_ticks;
};
