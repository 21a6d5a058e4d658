#include "program.h"

namespace app {

Program::Program(const CommandLine &commandLine, ui::Runtime &runtime, poweroff::Road &system,
                 poweroff::DryRunRoad::Print print)
    : m_dryRun(system, std::move(print)),
      m_form(runtime, commandLine.dryRun ? static_cast<poweroff::Road &>(m_dryRun) : system)
{
    m_form.window().show();
}

} // namespace app
