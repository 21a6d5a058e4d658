#pragma once

#include <string>
#include <vector>

namespace app {

// What the command line asks for. Without arguments the program simply runs.
struct CommandLine {
    enum class Action { Run, ShowVersion, ShowHelp, Refuse };

    Action action = Action::Run;
    bool dryRun = false;
    std::string text; // what to print for the version, the help or the refusal

    // The arguments after the program's name.
    static CommandLine parse(const std::vector<std::string> &arguments);
    // The exit status for an action that ends before any window opens.
    int exitStatus() const { return action == Action::Refuse ? 2 : 0; }
};

} // namespace app
