#include "log.h"

#include <cstdio>

namespace logging {

void log(const std::string &line)
{
    // stdio rather than iostreams: they would double the size of the Windows program.
    std::fprintf(stderr, "veltrane: %s\n", line.c_str());
    std::fflush(stderr);
}

void print(const std::string &line)
{
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

} // namespace logging
