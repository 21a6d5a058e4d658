#include "mainform.h"

#include "confirm/shutdownform.h"
#include "fieldtext.h"
#include "log/log.h"
#include "poweroff/road.h"
#include "ui/controls.h"
#include "ui/forms.h"
#include "ui/spinnerrange.h"

#include <algorithm>
#include <cstdint>
#include <ctime>

namespace timer {

MainForm::MainForm(ui::Runtime &runtime, poweroff::Road &road)
    : m_runtime(runtime), m_road(road), m_window(runtime.load(ui::frmMain())),
      m_hours(m_window->label("lblQTimerHour")), m_minutes(m_window->label("lblQTimerMinute")),
      m_seconds(m_window->label("lblQTimerSecond")),
      m_hoursSpinner(m_window->scrollBar("scrollHours")),
      m_minutesSpinner(m_window->scrollBar("scrollMinutes")),
      m_secondsSpinner(m_window->scrollBar("scrollSeconds")),
      m_startButton(m_window->button("cmdStartQuickTimer")),
      m_timer(m_window->timer("tmrQuickTimer"))
{
    m_hoursSpinner.onChange([this] { scrollHours_Change(); });
    m_minutesSpinner.onChange([this] { scrollMinutes_Change(); });
    m_secondsSpinner.onChange([this] { scrollSeconds_Change(); });
    m_startButton.onClick([this] { cmdStartQuickTimer_Click(); });
    m_window->button("MyButton2").onClick([this] { MyButton2_Click(); });
    m_timer.onTimer([this] { tmrQuickTimer_Timer(); });
}

MainForm::~MainForm() = default;

std::int32_t MainForm::GetQuickTimerSeconds() const
{
    // All three are read before any is converted.
    const std::string hours = m_hours.caption();
    const std::string minutes = m_minutes.caption();
    const std::string seconds = m_seconds.caption();
    std::int32_t total = checkedMultiply(fieldValue(hours), 3600);
    total = checkedAdd(total, checkedMultiply(fieldValue(minutes), 60));
    return checkedAdd(total, fieldValue(seconds));
}

void MainForm::ShowQuickTimerSeconds(std::int32_t total)
{
    // Hours are not wrapped at 24: the fields show whatever total they are given.
    const SpanFields span = splitSpan(total);
    m_hours.setCaption(fieldText(span.hours));
    m_minutes.setCaption(fieldText(span.minutes));
    m_seconds.setCaption(fieldText(span.seconds));
}

void MainForm::scrollHours_Change()
{
    m_until.reset();
    spinnerChanged(m_hoursSpinner, m_hours, "scrollHours");
}

void MainForm::scrollMinutes_Change()
{
    m_until.reset();
    spinnerChanged(m_minutesSpinner, m_minutes, "scrollMinutes");
}

void MainForm::scrollSeconds_Change()
{
    m_until.reset(); // a span set by hand
    spinnerChanged(m_secondsSpinner, m_seconds, "scrollSeconds");
}

void MainForm::spinnerChanged(ui::Window::ScrollBar &spinner, ui::Window::Label &field,
                              const char *name)
{
    // A step over either end lands one past it, and wraps. Setting the position raises this
    // change again, nested; both runs end by writing the same text.
    const ui::SpinnerRange range = ui::SpinnerRange::of(ui::control(ui::frmMain(), name));
    if (const int wrapped = range.wrapped(spinner.position()); wrapped != spinner.position())
        spinner.setPosition(wrapped);
    field.setCaption(fieldText(spinner.position()));
}

void MainForm::cmdStartQuickTimer_Click()
{
    // The button has flipped its state before telling us of the click.
    const bool on = m_startButton.state();
    m_timer.setEnabled(on);
    m_startButton.setCaption(on ? "Timer On" : "Timer Off");
    ++m_runs;
    m_until.reset();
    m_startedWith = -1; // read on the first tick: a field is only checked there
    if (!on)
        m_runtime.withdrawNotice({}); // a heads-up for the run that stopped
    // A countdown that sleeps with the computer would power it off in the middle of someone's
    // work after it wakes.
    m_road.stayAwake(on);
    if (on)
        checkTheRoad();
    changed();
}

void MainForm::MyButton2_Click()
{
    halt();
    ShowQuickTimerSeconds(0);
}

void MainForm::checkTheRoad()
{
    const int run = m_runs;
    const auto current = [this, run] { return run == m_runs && m_timer.enabled(); };
    m_road.check([this, current](const poweroff::Readiness &readiness) {
        if (readiness.allowed)
            return;
        confirm::logNotAllowed(readiness);
        if (!current())
            return;
        m_window->ask({readiness.words, readiness.advice, "Keep counting", "Stop"},
                      [this, current](bool keep) {
                          if (!keep && current())
                              halt();
                      });
    });
}

void MainForm::tmrQuickTimer_Timer()
{
    const std::int32_t left = GetQuickTimerSeconds();
    if (m_startedWith < 0)
        m_startedWith = left;
    std::int32_t next = checkedAdd(left, -1);
    if (m_until && next >= 0) {
        // Ticks stop while the computer sleeps, and know nothing of the clock being set: a
        // time of the clock is kept by the clock. A second apart is only the tick's rounding.
        const auto byClock =
            static_cast<std::int32_t>(std::clamp<std::int64_t>(*m_until - m_clock(), 0, INT32_MAX));
        if (byClock > next + 1 || byClock < next - 1) {
            next = byClock;
            logging::log("the clock moved: " + spanText(next) + " left until the time asked for");
        }
    }
    if (next >= 0) {
        ShowQuickTimerSeconds(next);
        // The warning opens on the next tick, on time: made now, it then only has to be shown.
        if (next == 0)
            m_runtime.prepare(ui::frmShutDown());
        headsUp(next);
        return;
    }
    // The time has run out; the fields keep showing 00:00:00.
    stop();
    if (!m_shutDown) {
        m_shutDown = std::make_unique<confirm::ShutDownForm>(m_runtime, m_road);
        m_shutDown->onLater([this] { snooze(ui::LaterSeconds); });
        m_shutDown->onClose([this] { changed(); });
    }
    m_shutDown->show(*m_window);
    changed();
}

void MainForm::toggle(bool on)
{
    // The button flips its state itself before it tells of a click.
    m_startButton.setState(on);
    cmdStartQuickTimer_Click();
}

void MainForm::startFor(std::int32_t seconds, std::optional<std::time_t> until)
{
    // A start can take a while after the command line was read: a clock time counts from now.
    if (until)
        seconds = static_cast<std::int32_t>(
            std::clamp<std::int64_t>(*until - m_clock(), 1, std::max(seconds, 1)));
    if (m_timer.enabled())
        toggle(false);
    const SpanFields span = splitSpan(seconds);
    m_hoursSpinner.setPosition(span.hours);
    m_minutesSpinner.setPosition(span.minutes);
    m_secondsSpinner.setPosition(span.seconds);
    ShowQuickTimerSeconds(seconds); // also where a spinner already stood there
    toggle(true);
    m_until = until;
}

bool MainForm::cancel()
{
    if (isWarningOpen()) {
        m_shutDown->cmdCancel_Click();
        return true;
    }
    if (!m_timer.enabled())
        return false;
    toggle(false);
    return true;
}

bool MainForm::snooze(std::int32_t seconds)
{
    if (!isWarningOpen() && !m_timer.enabled())
        return false;
    // As Cancel: nothing is requested, and what the warning said is taken back.
    m_snoozing = true;
    if (isWarningOpen())
        m_shutDown->cmdCancel_Click();
    startFor(seconds);
    m_snoozing = false;
    changed();
    const std::time_t end = m_clock() + seconds;
    logging::log("put off: counting down from " + spanText(seconds));
    tellTheEnd("at " + m_runtime.clockTime(end), end);
    return true;
}

bool MainForm::isWarningOpen() const
{
    return m_shutDown && m_shutDown->isLoaded();
}

void MainForm::keepInSight()
{
    (isWarningOpen() ? *m_shutDown->window() : *m_window).keepInSight();
}

void MainForm::headsUp(std::int32_t left)
{
    if (m_quiet || (left != 300 && left != 60) || m_startedWith <= left)
        return;
    const std::time_t end = m_clock() + left;
    // The end as the clock will show it, to the minute.
    tellTheEnd(std::string(left == 300 ? "in 5 minutes" : "in 1 minute") + ", at " +
                   m_runtime.clockTime(end),
               end);
}

void MainForm::tellTheEnd(const std::string &when, std::time_t end)
{
    m_runtime.notify(
        {.summary = "Veltrane will turn off the computer " + when,
         .body = "Click here to stop it, or use the Timer On button.",
         .action = "Stop",
         .command = "Stop the countdown",
         .end = end,
         .later = ui::LaterWords},
        [this, run = m_runs] {
            if (run == m_runs && m_timer.enabled())
                toggle(false);
        },
        [this, run = m_runs] {
            if (run == m_runs)
                snooze(ui::LaterSeconds);
        });
}

void MainForm::halt()
{
    stop();
    ++m_runs;
    m_road.stayAwake(false);
    m_runtime.withdrawNotice({}); // a heads-up for the run that stopped
}

void MainForm::stop()
{
    // The question is moot once the run is over, and must not stay over the warning.
    m_window->withdrawQuestion();
    m_timer.setEnabled(false);
    m_startButton.setState(false);
    m_startButton.setCaption("Timer Off");
}

} // namespace timer
