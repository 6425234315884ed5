// Any text, read as a scene note or as the lines of a script file, must parse without
// reading out of bounds; binding, firing and resetting whatever it declares must hold.
// Sound stays off (the sound files cannot be found), particles run on the real manager.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <sstream>
#include <string>
#include <vector>

#include "fuzz_support.h"
#include "effects/particle_system_manager.h"
#include "effects/script_manager.h"
#include "effects/script_parser.h"
#include "effects/sound_manager.h"
#include "scene/texture_manager.h"

namespace {

// Level scripts are a few kilobytes; much longer ones would only measure how many
// emitters of the largest size fit in memory.
constexpr size_t kMaxScriptSize = 16384;

// No component of this directory exists, so no script can reach a real file.
constexpr char kMissingDataDirectory[] = "/nonexistent-kav-fuzz-data";

void BindFireAndReset(ScriptManager& scripts) {
    std::vector<std::string> events;
    for (const ScriptBlock& block : scripts.Blocks())
        if (block.type == "action") events.push_back(block.name);
    std::vector<EventTrigger> triggers(events.size());
    Vec3 position{1, 2, 3}, rotation{10, 20, 30}, velocity{0.1f, 0, 0};
    for (size_t i = 0; i < events.size(); ++i)
        scripts.BindEvent(events[i], triggers[i], &position, &rotation, &velocity);
    for (const EventTrigger& trigger : triggers) trigger.Start();
    scripts.Tick();
    for (const EventTrigger& trigger : triggers) trigger.Stop();
    scripts.Tick();
    scripts.Reset();
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    PrepareFuzzing();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > kMaxScriptSize) return 0;
    std::string text(reinterpret_cast<const char*>(data), size);
    try {
        // Fresh services per input, as a level load would have after a restart.
        SoundManager sound;
        ParticleSystemManager particles;
        TextureManager textures{nullptr};
        particles.Init();
        ScriptManager scripts(EffectServices{sound, particles, textures});
        scripts.SetDataDirectory(kMissingDataDirectory);
        scripts.ReadScriptText("ship0", text);
        BindFireAndReset(scripts);

        std::vector<std::string> lines;
        std::istringstream stream(text);
        for (std::string line; std::getline(stream, line);) lines.push_back(line);
        std::vector<ScriptBlock> blocks;
        ParseScript(CleanScriptLines(lines), blocks);
    } catch (const FatalReportThrown&) {}
    return 0;
}
