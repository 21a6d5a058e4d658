#pragma once

#include <cstdio>
#include <string>

// The checks of tests that run where no QtTest does: the shared core's, on Linux and, built for
// Windows, under Wine, and the Windows program's own. Each says PASS or FAIL and what it checked;
// main() returns failed().
inline int &failures()
{
    static int count = 0;
    return count;
}

inline void check(bool ok, const std::string &what)
{
    std::printf("%s: %s\n", ok ? "PASS" : "FAIL", what.c_str());
    failures() += !ok;
}

inline int failed()
{
    std::printf("%s\n", failures() ? "FAILED" : "all passed");
    return failures() ? 1 : 0;
}
