#include "program.h"

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

Answer Program::handle(const Request &request)
{
    using Kind = Request::Kind;
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
        m_form.startFor(request.seconds);
        break;
    case Kind::Cancel:
        if (!m_form.cancel())
            return Answer::NothingToStop;
        logging::log("stopped, as another start asked");
        break;
    case Kind::Raise:
        break;
    }
    m_form.keepInSight();
    return Answer::Done;
}

} // namespace app
