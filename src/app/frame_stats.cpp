#include "app/frame_stats.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace {

// The smallest length at least `percent` of the sorted frames do not exceed.
double NearestRank(const std::vector<double>& sorted, double percent) {
    const double rank = std::ceil(percent / 100.0 * static_cast<double>(sorted.size()));
    const size_t index = static_cast<size_t>(std::max(rank, 1.0)) - 1;
    return sorted[std::min(index, sorted.size() - 1)];
}

}  // namespace

FrameStats SummarizeFrames(std::vector<double> frameMs) {
    FrameStats stats;
    if (frameMs.empty()) return stats;
    std::sort(frameMs.begin(), frameMs.end());
    stats.frames = static_cast<int>(frameMs.size());
    stats.seconds = std::accumulate(frameMs.begin(), frameMs.end(), 0.0) / 1000.0;
    stats.fps = stats.seconds > 0 ? stats.frames / stats.seconds : 0;
    stats.medianMs = NearestRank(frameMs, 50);
    stats.p99Ms = NearestRank(frameMs, 99);
    return stats;
}
