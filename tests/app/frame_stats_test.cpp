#include "app/frame_stats.h"

#include <gtest/gtest.h>

TEST(FrameStats, NearestRankFiguresOfMeasuredFrames) {
    struct Case {
        std::vector<double> frameMs;
        int frames;
        double fps, medianMs, p99Ms;
    };
    std::vector<double> hundred(99, 2.0);
    hundred.push_back(50.0);  // one slow frame in a hundred does not count for the 99th percentile
    std::vector<double> twoHundred(197, 2.0);
    twoHundred.insert(twoHundred.end(), {40.0, 45.0, 50.0});
    const Case cases[] = {
        {{}, 0, 0, 0, 0},
        {{5.0, 1.0, 4.0}, 3, 300, 4.0, 5.0},
        {{3.0, 1.0, 2.0, 4.0}, 4, 400, 2.0, 4.0},
        {hundred, 100, 100 / (99 * 2.0 + 50.0) * 1000, 2.0, 2.0},
        {twoHundred, 200, 200 / (197 * 2.0 + 135.0) * 1000, 2.0, 40.0},
    };
    for (const Case& c : cases) {
        const FrameStats stats = SummarizeFrames(c.frameMs);
        EXPECT_EQ(stats.frames, c.frames);
        EXPECT_NEAR(stats.fps, c.fps, 1e-9);
        EXPECT_DOUBLE_EQ(stats.medianMs, c.medianMs);
        EXPECT_DOUBLE_EQ(stats.p99Ms, c.p99Ms);
    }
}
