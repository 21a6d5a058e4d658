#include "start.h"

#include <cstdio>

namespace app {

int start(const std::vector<std::string> &arguments, std::time_t now, Host &host)
{
    using Action = CommandLine::Action;
    CommandLine commandLine = CommandLine::parse(arguments);
    commandLine.resolve(now);
    if (commandLine.action != Action::Run && commandLine.action != Action::Cancel) {
        std::FILE *out = commandLine.exitStatus() == 0 ? stdout : stderr;
        std::fprintf(out, "%s\n", commandLine.text.c_str());
        std::fflush(out);
        return commandLine.exitStatus();
    }
    const Request request = Request::from(commandLine);
    const std::string noWindows = host.noWindows();
    if (commandLine.action == Action::Cancel || !noWindows.empty()) {
        if (const std::optional<Answer> answer = host.ask(request))
            return report(*answer);
        if (commandLine.action == Action::Cancel)
            return report(Answer::NoneRunning);
        std::fprintf(stderr, "%s\n", noWindows.c_str());
        return 1;
    }
    if (host.claim() == Claim::Taken)
        return report(host.ask(request).value_or(Answer::NoAnswer));
    return host.run(commandLine);
}

} // namespace app
