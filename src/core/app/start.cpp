#include "start.h"

#include <cstdio>

namespace app {

int start(const std::vector<std::string> &arguments, std::time_t now, Host &host)
{
    using Action = CommandLine::Action;
    CommandLine commandLine = CommandLine::parse(arguments);
    commandLine.resolve(now);
    if (commandLine.action == Action::ShowHelp || commandLine.action == Action::ShowVersion ||
        commandLine.action == Action::Refuse) {
        std::FILE *out = commandLine.exitStatus() == 0 ? stdout : stderr;
        std::fprintf(out, "%s\n", commandLine.text.c_str());
        std::fflush(out);
        return commandLine.exitStatus();
    }
    if (commandLine.action == Action::Status) {
        const auto said = host.askStatus();
        if (!said)
            return report(Answer::NoneRunning);
        if (const auto *answer = std::get_if<Answer>(&*said))
            return report(*answer);
        const Status &status = std::get<Status>(*said);
        std::printf(
            "%s\n",
            status.line(now, [&host](std::time_t when) { return host.clockTime(when); }).c_str());
        std::fflush(stdout);
        return status.exitStatus();
    }
    const Request request = Request::from(commandLine);
    const std::string noWindows = host.noWindows();
    const bool onlyAsks = commandLine.action != Action::Run;
    if (onlyAsks || !noWindows.empty()) {
        if (const std::optional<Answer> answer = host.ask(request))
            return report(*answer);
        if (onlyAsks)
            return report(Answer::NoneRunning);
        std::fprintf(stderr, "%s\n", noWindows.c_str());
        return 1;
    }
    if (host.claim() == Claim::Taken)
        return report(host.ask(request).value_or(Answer::NoAnswer));
    return host.run(commandLine);
}

} // namespace app
