#pragma once

#include "app/host.h"

#include <ctime>
#include <string>
#include <vector>

namespace app {

// What both programs do from their start to their exit status: help, the version and mistakes
// answered without a window; --cancel, --snooze and --status, or a start with nowhere to show a
// window, only ask the running one; a start that finds one running hands it over; otherwise the
// program runs.
int start(const std::vector<std::string> &arguments, std::time_t now, Host &host);

} // namespace app
