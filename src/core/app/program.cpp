#include "program.h"

#include "confirm/shutdownform.h"
#include "log/log.h"
#include "timer/fieldtext.h"

namespace app {

Program::Program(const CommandLine &commandLine, ui::Runtime &runtime, poweroff::Road &system,
                 poweroff::DryRunRoad::Print print)
    : m_dryRun(system, std::move(print)),
      m_form(runtime, commandLine.dryRun ? static_cast<poweroff::Road &>(m_dryRun) : system),
      m_rehearsal(commandLine.dryRun)
{
    m_form.setQuiet(commandLine.quiet);
    m_form.window().show();
    if (commandLine.inSeconds) {
        logging::log("counting down from " + timer::spanText(*commandLine.inSeconds));
        m_form.startFor(*commandLine.inSeconds, commandLine.until);
    }
}

Status Program::status() const
{
    Status status;
    status.dryRun = m_rehearsal;
    if (m_form.isWarningOpen()) {
        status.state = Status::State::Warning;
        status.left = m_form.shutDownForm()->secondsLeft();
    } else if (m_form.isCounting()) {
        status.state = Status::State::Counting;
        status.left = m_form.GetQuickTimerSeconds();
    }
    return status;
}

void Program::watch(std::function<void(const Status &)> watcher)
{
    m_form.onChange([this, watcher = std::move(watcher)] { watcher(status()); });
}

Answer Program::handle(const Request &request)
{
    using Kind = Request::Kind;
    if (request.kind == Kind::Status)
        return status().state == Status::State::Idle ? Answer::NotCounting : Answer::Done;
    if (!request.valid()) {
        logging::log("another start refused: a span of " + std::to_string(request.seconds) +
                     " seconds is not from 1 second to 23:59:59");
        return Answer::NotUnderstood;
    }
    if (request.kind != Kind::Raise && request.dryRun != m_rehearsal) {
        logging::log("another start refused: a rehearsal and a real timer do not mix");
        return m_rehearsal ? Answer::RehearsalRunning : Answer::RealTimerRunning;
    }
    switch (request.kind) {
    case Kind::Start:
        if (m_form.isWarningOpen()) {
            logging::log("another start refused: the warning is open");
            return Answer::WarningOpen;
        }
        logging::log("counting down from " + timer::spanText(request.seconds) +
                     ", as another start asked");
        // Its options are the start's own: a second --quiet start is quiet, another is not.
        m_form.setQuiet(request.quiet);
        m_form.startFor(request.seconds);
        break;
    case Kind::Snooze:
        if (!m_form.snooze(request.seconds))
            return Answer::NotCounting;
        break;
    case Kind::Cancel:
        if (!m_form.cancel())
            return Answer::NothingToStop;
        logging::log("stopped, as another start asked");
        break;
    case Kind::Raise:
    case Kind::Status: // answered above
        break;
    }
    m_form.keepInSight();
    return Answer::Done;
}

} // namespace app
