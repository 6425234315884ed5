#include "app/benchmark.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "app/application.h"
#include "app/frame_stats.h"
#include "game/debug_manager.h"
#include "game/player_manager.h"
#include "platform/process_usage.h"
#include "platform/window.h"
#include "scene/model_manager.h"

namespace {

using BenchClock = std::chrono::steady_clock;

// Frames are a few milliseconds long: NowMs would round them away.
double MsBetween(BenchClock::time_point from, BenchClock::time_point to) {
    return std::chrono::duration<double, std::milli>(to - from).count();
}

// The index of the dump's first level label and the level's directory; the size of
// `actions` and "" when there is none.
size_t FindLevelLabel(const std::vector<DebugAction>& actions, std::string& directory) {
    const size_t prefix = std::strlen(kLevelLabelPrefix);
    for (size_t i = 0; i < actions.size(); ++i) {
        std::string text;
        if (LabelText(actions[i], text) && text.compare(0, prefix, kLevelLabelPrefix) == 0) {
            directory = text.substr(prefix);
            return i;
        }
    }
    directory.clear();
    return actions.size();
}

void PrintStats(const char* what, const FrameStats& stats) {
    std::printf("%s: %d frames, %.2f s, %.1f fps, median %.2f ms, 99th percentile %.2f ms\n", what, stats.frames,
                stats.seconds, stats.fps, stats.medianMs, stats.p99Ms);
}

}  // namespace

int RunBenchmark(Application& app, const char* dumpName) {
    // The recorded player updates drive the ships; live input plays no part.
    DebugSetSwitches(true, false);
    DebugInit(kDebugReplay, dumpName);  // a bad dump ends the process with status 2
    const std::vector<DebugAction> actions = DebugPendingActions();
    std::string level;
    size_t next = FindLevelLabel(actions, level);
    int32_t origin = 0;
    if (next < actions.size()) {
        if (!app.StartLocalRace(level)) {
            std::fprintf(stderr, "Benchmark: the level %s of %s does not load\n", level.c_str(), dumpName);
            return 1;
        }
        app.Game().Players().SetReplaying(true);
        origin = actions[next].time;
    } else {
        next = 0;  // the main menu from the start of the recording
    }
    const double lengthMs = actions.empty() ? 0.0 : std::max(0, actions.back().time - origin);

    DrawManager& scene = app.Game().Models();
    const size_t cameras = level.empty() ? 0 : scene.Cameras().size();
    std::vector<std::vector<double>> frameMs(std::max<size_t>(cameras, 1));
    // Room for a fast run, so that the measurement does not measure its own growth.
    for (auto& frames : frameMs) frames.reserve(1 << 16);

    ApplicationReplay target(app);
    const double processorAtStart = ProcessorMs();
    const BenchClock::time_point start = BenchClock::now();
    BenchClock::time_point last = start;
    for (;;) {
        const double elapsed = MsBetween(start, last);
        // On the main thread between two frames, where replayed actions belong.
        while (next < actions.size() && actions[next].time - origin <= elapsed) ReplayAction(actions[next++], target);
        size_t part = 0;
        if (cameras > 0 && lengthMs > 0)
            part = std::min(cameras - 1, static_cast<size_t>(elapsed * static_cast<double>(cameras) / lengthMs));
        if (cameras > 0 && static_cast<int>(part) != scene.CurrentCamera()) scene.SelectCamera(static_cast<int>(part));
        if (!RunFrame()) break;
        const BenchClock::time_point now = BenchClock::now();
        frameMs[part].push_back(MsBetween(last, now));
        last = now;
        if (next == actions.size() && elapsed >= lengthMs) break;
    }

    const double processorMs = ProcessorMs() - processorAtStart;
    std::vector<double> all;
    for (size_t part = 0; part < frameMs.size(); ++part) {
        all.insert(all.end(), frameMs[part].begin(), frameMs[part].end());
        if (cameras == 0) continue;
        const std::string what = std::string(dumpName) + " camera " + std::to_string(part);
        PrintStats(what.c_str(), SummarizeFrames(frameMs[part]));
    }
    const FrameStats stats = SummarizeFrames(std::move(all));
    PrintStats(dumpName, stats);
    std::printf("%s: processor time %.2f ms per frame (all threads)\n", dumpName,
                stats.frames > 0 ? processorMs / stats.frames : 0.0);
    std::printf("%s: peak resident memory %.1f MiB\n", dumpName, static_cast<double>(PeakResidentKiB()) / 1024.0);
    std::fflush(stdout);
    KillGLWindow();
    return 0;
}
