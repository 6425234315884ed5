#include "platform/process_memory.h"

#include <sys/resource.h>

int64_t PeakResidentKiB() {
    rusage usage{};
    if (getrusage(RUSAGE_SELF, &usage) != 0) return 0;
    return usage.ru_maxrss;  // KiB on Linux
}
