#pragma once

#include <cstdio>

#include "base/report.h"

// A fatal report ends the game; in a fuzz run it becomes this exception, so the harness
// can check that what was read before it is still sound.
struct FatalReportThrown {};

inline void ThrowOnFatal() { throw FatalReportThrown{}; }

// Fatal reports throw, and the log's console echo (every error line of a bad input)
// goes nowhere: the fuzzer reports on standard error.
inline void PrepareFuzzing() {
    SetFatalHandler(ThrowOnFatal);
    if (std::freopen("/dev/null", "w", stdout) == nullptr) std::perror("stdout");
}
