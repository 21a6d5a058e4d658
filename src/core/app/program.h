#pragma once

#include "app/commandline.h"
#include "app/request.h"
#include "app/status.h"
#include "poweroff/dryrunroad.h"
#include "timer/mainform.h"

#include <functional>

namespace app {

// The program as its command line asks for it: the main window, shown, over the system's road;
// with --dry-run the request itself goes to the dry run instead, which gives its line to print;
// with a span (--in, --at resolved), counting down at once.
class Program final {
public:
    Program(const CommandLine &commandLine, ui::Runtime &runtime, poweroff::Road &system,
            poweroff::DryRunRoad::Print print);

    timer::MainForm &form() { return m_form; }
    // What a second start asks of this one.
    Answer handle(const Request &request);
    Status status() const;
    // Runs with the new status when the countdown starts, stops or is put off, and when the
    // warning opens or closes; never at a mere tick.
    void watch(std::function<void(const Status &)> watcher);

private:
    poweroff::DryRunRoad m_dryRun;
    timer::MainForm m_form;
    bool m_rehearsal;
};

} // namespace app
