#include "shutdownform.h"

#include "log/log.h"
#include "ui/forms.h"

#include <algorithm>

namespace confirm {

using logging::log;

void logNotAllowed(const poweroff::Readiness &readiness)
{
    log("power-off would not be allowed: " + readiness.words + " (" + readiness.detail + ")");
}

ShutDownForm::ShutDownForm(ui::Runtime &runtime, poweroff::Road &road)
    : m_runtime(runtime), m_road(road)
{
}

void ShutDownForm::show(ui::Window &owner)
{
    m_window = m_runtime.load(ui::frmShutDown());
    const int load = ++m_loads;
    m_problem.clear();
    m_status = &m_window->label("lblStatus");
    m_timer = &m_window->timer("tmrShutDown");
    m_timer->onTimer([this] { tmrShutDown_Timer(); });
    m_window->button("cmdCancel").onClick([this] { cmdCancel_Click(); });
    // Cancel and the title bar's close both end the run: the computer may sleep again.
    m_window->onUnload([this] {
        m_road.stayAwake(false);
        m_runtime.withdrawNotice("Turning off was cancelled");
        if (m_closed)
            m_closed();
    });
    Form_Load();
    m_status->announce(m_status->caption());
    m_window->showModal(owner);
    notify();
    // Asked again now: much may have changed since the countdown started. What it finds is
    // said in the warning itself: a box over it would hide the count and Cancel.
    m_road.check([this, load](const poweroff::Readiness &readiness) {
        if (readiness.allowed)
            return;
        logNotAllowed(readiness);
        if (load != m_loads || !isLoaded() || !m_timer->enabled())
            return;
        m_problem = readiness.reason;
        m_status->setCaption(message());
        m_status->setDetail(readiness.words + " " + readiness.advice + " (" + readiness.detail +
                            ")");
        m_status->announce(m_status->caption());
    });
}

bool ShutDownForm::isLoaded() const
{
    return m_window && m_window->isLoaded();
}

void ShutDownForm::Form_Load()
{
    SecondsLeft = ui::WarningSeconds;
    m_end = std::time(nullptr) + SecondsLeft;
}

std::string ShutDownForm::message() const
{
    if (m_problem.empty())
        return ui::countdownMessage(SecondsLeft);
    return "Turning off in " + std::to_string(SecondsLeft) + " seconds may fail: " + m_problem;
}

void ShutDownForm::notify()
{
    const std::string count =
        SecondsLeft == 1 ? "1 second" : std::to_string(SecondsLeft) + " seconds";
    const auto current = [this, load = m_loads] { return load == m_loads && isLoaded(); };
    m_runtime.notify(
        {"The computer will turn off in " + count,
         m_problem.empty() ? "Programs still open will be closed without saving."
                           : "Turning off may fail: " + m_problem + ".",
         "Cancel", true, "The computer will turn off at " + m_runtime.clockTime(m_end, true),
         "Cancel the power-off", m_end, m_later ? ui::LaterWords : ""},
        [this, current] {
            if (current())
                cmdCancel_Click();
        },
        [this, current] {
            if (current() && m_later)
                m_later();
        });
}

void ShutDownForm::tmrShutDown_Timer()
{
    --SecondsLeft;
    m_status->setCaption(message());
    // A screen reader hears the count now and then, not every second; so does the desktop.
    if (std::ranges::find(ui::AnnouncedCounts, SecondsLeft) != ui::AnnouncedCounts.end()) {
        m_status->announce(m_status->caption());
        notify();
    }
    if (SecondsLeft < 1) {
        // Ask once: repeating the request every second would only repeat its failure, and the
        // count would run on below zero.
        m_timer->setEnabled(false);
        PowerOffNow();
    } else {
        // Another window may have come over the warning since the last second.
        m_window->keepInSight();
    }
}

void ShutDownForm::cmdCancel_Click()
{
    m_window->unload();
}

void ShutDownForm::PowerOffNow()
{
    log("power-off requested");
    const int load = m_loads;
    m_road.request([this, load](const poweroff::Outcome &outcome) {
        using Kind = poweroff::Outcome::Kind;
        const std::string detail = outcome.detail.empty() ? "" : ": " + outcome.detail;
        log(outcome.kind == Kind::Accepted  ? "power-off accepted" + detail
            : outcome.kind == Kind::Waiting ? "power-off not answered yet, still waiting" + detail
                                            : "power-off refused" + detail);
        if (load == m_loads && isLoaded())
            answered(outcome);
    });
}

void ShutDownForm::answered(const poweroff::Outcome &outcome)
{
    switch (outcome.kind) {
    case poweroff::Outcome::Kind::Accepted:
        // The warning stays as it is while the system goes down.
        m_road.stayAwake(false);
        m_runtime.withdrawNotice(outcome.detail.empty()
                                     ? "The computer is turning off"
                                     : "The computer stays on: " + outcome.detail);
        break;
    case poweroff::Outcome::Kind::Waiting:
        m_status->setCaption("The system has not answered yet; the computer may still turn off");
        m_status->setDetail(outcome.detail);
        m_status->announce(m_status->caption());
        break;
    case poweroff::Outcome::Kind::Refused:
        m_road.stayAwake(false);
        m_runtime.withdrawNotice("Could not turn off the computer: " + outcome.reason);
        m_status->setCaption("Could not turn off the computer: " + outcome.reason);
        m_status->setDetail(outcome.detail);
        m_status->announce(m_status->caption());
        break;
    }
}

} // namespace confirm
