#pragma once

#include <cstdint>

// Milliseconds on a monotonic clock, counted from the first call in the process.
// Game rules never call this directly: they are handed the time, so tests drive them.
int64_t NowMs();
