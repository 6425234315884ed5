#include "base/clock.h"

#include <chrono>

int64_t NowMs() {
    using std::chrono::steady_clock;
    static const steady_clock::time_point start = steady_clock::now();
    return std::chrono::duration_cast<std::chrono::milliseconds>(steady_clock::now() - start).count();
}
