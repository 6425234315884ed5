// Any bytes given as an event dump either load into actions that write back to
// exactly the same bytes, or are refused; every loaded action replays without
// reading outside its data.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <vector>

#include "game/debug_manager.h"
#include "base/report.h"

namespace {

struct ExitSeen {};

void ThrowOnExit(int) { throw ExitSeen{}; }
void ThrowOnFatal() { throw ExitSeen{}; }

class CountingTarget : public ReplayTarget {
public:
    // The fuzzer is its own main thread: the action runs at once.
    bool RunOnMainThread(std::function<void()> action) override {
        action();
        return true;
    }
    void MouseMove(int x, int y) override { sum += x ^ y; }
    void KeyDown(int code) override { sum += code; }
    void KeyUp(int code) override { sum -= code; }
    void ApplyPlayerUpdate(const uint8_t* data, size_t size) override {
        for (size_t i = 0; i < size; ++i) sum += data[i];
    }
    void ResetGameTimer() override { ++sum; }
    void SetGameTimer(int32_t ms) override { sum += ms; }

    long long sum = 0;
};

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    // Unknown kinds are logged as warnings, which go to standard output.
    if (std::freopen("/dev/null", "w", stdout) == nullptr) std::abort();
    SetDumpExitHandler(ThrowOnExit);
    SetFatalHandler(ThrowOnFatal);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    try {
        std::vector<DebugAction> actions;
        if (!ParseDumpRecords(data, size, actions)) return 0;
        std::vector<uint8_t> again;
        CountingTarget target;
        for (const DebugAction& action : actions) {
            AppendDumpRecord(again, action);
            ReplayAction(action, target);
        }
        if (again.size() != size || !std::equal(again.begin(), again.end(), data)) std::abort();
    } catch (const ExitSeen&) {
        std::abort();  // nothing here may end the program
    }
    return 0;
}
