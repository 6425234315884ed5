#pragma once

#include <cstdint>

// The most memory this process has held in RAM at once so far, in KiB (0 where the
// system does not tell).
int64_t PeakResidentKiB();
