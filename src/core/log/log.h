#pragma once

#include <string>

namespace logging {

// One line on standard error, where the journal finds it when the desktop started the program:
// "veltrane: " and the line.
void log(const std::string &line);
// One line on standard output, flushed at once: another program may be waiting for it.
void print(const std::string &line);

} // namespace logging
