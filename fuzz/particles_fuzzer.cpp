// Any particle definition, however odd its numbers, must give an emitter (or none)
// that runs, bursts, stops and is removed without undefined behaviour or runaway work.
// Input: "key=value" lines; a line "tick=N" adds a tick N milliseconds later instead.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <sstream>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "effects/particle_system_manager.h"

namespace {

constexpr size_t kMaxTicks = 16;

struct FuzzInput {
    ParticleDefinition definition{"fuzz", {}};
    std::vector<int64_t> tickSteps;
};

FuzzInput ReadInput(const std::string& text) {
    FuzzInput input;
    std::istringstream stream(text);
    for (std::string line; std::getline(stream, line);) {
        size_t equals = line.find('=');
        if (equals == std::string::npos) continue;
        std::string key = line.substr(0, equals), value = line.substr(equals + 1);
        if (key == "tick") {
            if (input.tickSteps.size() < kMaxTicks)
                input.tickSteps.push_back(std::strtoll(value.c_str(), nullptr, 10) % 100000);
        } else {
            input.definition.entries.emplace_back(key, value);
        }
    }
    return input;
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    PrepareFuzzing();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    FuzzInput input = ReadInput(std::string(reinterpret_cast<const char*>(data), size));
    try {
        int64_t now = 0;
        ParticleSystemManager manager;
        manager.SetClock([&now] { return now; });
        manager.SetTextureLoader([](const std::string&) { return 0u; });
        manager.Init();
        Vec3 position{1, 2, 3}, rotation{45, 0, 90}, velocity{0.01f, 0, 0};
        int handle = manager.AddEmitter(input.definition, &position, &rotation, &velocity);
        manager.RestartEmitter(handle);
        for (size_t i = 0; i < input.tickSteps.size(); ++i) {
            now += input.tickSteps[i];
            position.x += 1;
            manager.UpdateAll();
            if (i == input.tickSteps.size() / 2) manager.StopEmitter(handle);
        }
        manager.Inspect(handle);
        manager.RemoveEmitter(handle);
        manager.RemoveEmitter(handle);
        manager.Destroy();
    } catch (const FatalReportThrown&) {}
    return 0;
}
