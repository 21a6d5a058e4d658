#pragma once

#include "app/commandline.h"
#include "app/request.h"
#include "app/status.h"
#include "ui/forms.h"

#include <optional>
#include <string>
#include <variant>

namespace app {

// What a start needs of its platform: the session's one running Veltrane, and the program itself.
class Host {
public:
    virtual ~Host() = default;
    // The running one's answer, or none where none runs.
    virtual std::optional<Answer> ask(const Request &request) = 0;
    // What the running one is doing, or none where none runs; its answer where it gives none.
    virtual std::optional<std::variant<Status, Answer>> askStatus() = 0;
    // A time of the clock as the user's desktop writes it.
    virtual std::string clockTime(std::time_t when) const { return ui::clockTime(when); }
    // Why no window can be shown here, as from cron; empty where one can.
    virtual std::string noWindows() { return {}; }
    // Becomes the session's running one, or finds it taken.
    virtual Claim claim() = 0;
    // Runs the program until it ends, then gives its exit status.
    virtual int run(const CommandLine &commandLine) = 0;
};

} // namespace app
