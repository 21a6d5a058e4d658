#include "program.h"

namespace app {

Program::Program(const CommandLine &commandLine, ui::Runtime &runtime, poweroff::Road &system,
                 std::ostream &dryRunOut)
    : m_dryRun(system, dryRunOut),
      m_form(runtime, commandLine.dryRun ? static_cast<poweroff::Road &>(m_dryRun) : system)
{
    m_form.window().show();
}

} // namespace app
