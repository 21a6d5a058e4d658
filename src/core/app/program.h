#pragma once

#include "app/commandline.h"
#include "poweroff/dryrunroad.h"
#include "timer/mainform.h"

namespace app {

// The program as its command line asks for it: the main window, shown, over the system's road;
// with --dry-run the request itself goes to the dry run instead, which gives its line to print.
class Program final {
public:
    Program(const CommandLine &commandLine, ui::Runtime &runtime, poweroff::Road &system,
            poweroff::DryRunRoad::Print print);

    timer::MainForm &form() { return m_form; }

private:
    poweroff::DryRunRoad m_dryRun;
    timer::MainForm m_form;
};

} // namespace app
