#pragma once

#include <vector>

// What a benchmark says about a run of frames.
struct FrameStats {
    int frames = 0;
    double seconds = 0;
    double fps = 0;
    double medianMs = 0;
    double p99Ms = 0;  // 99 in 100 frames took no longer
};

// From the length of each frame in milliseconds; all zero for no frames. The
// percentiles are nearest-rank: always the length of a frame that was measured.
FrameStats SummarizeFrames(std::vector<double> frameMs);
