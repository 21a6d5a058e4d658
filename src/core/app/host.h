#pragma once

#include "app/commandline.h"
#include "app/request.h"

#include <optional>
#include <string>

namespace app {

// What a start needs of its platform: the session's one running Veltrane, and the program itself.
class Host {
public:
    virtual ~Host() = default;
    // The running one's answer, or none where none runs.
    virtual std::optional<Answer> ask(const Request &request) = 0;
    // Why no window can be shown here, as from cron; empty where one can.
    virtual std::string noWindows() { return {}; }
    // Becomes the session's running one, or finds it taken.
    virtual Claim claim() = 0;
    // Runs the program until it ends, then gives its exit status.
    virtual int run(const CommandLine &commandLine) = 0;
};

} // namespace app
