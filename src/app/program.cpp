#include "program.h"

#include <QGuiApplication>

namespace app {

Program::Program(const CommandLine &commandLine, ui::Runtime &runtime, poweroff::Road &system,
                 std::ostream &dryRunOut)
    : m_dryRun(system, dryRunOut),
      m_form(runtime, commandLine.dryRun ? static_cast<poweroff::Road &>(m_dryRun) : system)
{
    // The main window's close ends the program, even while the warning, a window of its own,
    // is still open.
    QGuiApplication::setQuitOnLastWindowClosed(false);
    m_form.window().show();
}

} // namespace app
