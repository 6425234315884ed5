#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "fuzz_support.h"
#include "game/player_update.h"

// Any bytes either decode to a record that encodes back to exactly the same bytes,
// or are refused.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    SetFatalHandler(ThrowOnFatal);
    try {
        PlayerUpdate update;
        if (!DecodePlayerUpdate(data, size, update)) return 0;
        const std::vector<uint8_t> again = EncodePlayerUpdate(update);
        if (again.size() != size || !std::equal(again.begin(), again.end(), data)) std::abort();
    } catch (const FatalReportThrown&) {}
    return 0;
}
