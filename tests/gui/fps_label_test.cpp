#include "gui/fps_label.h"

#include <gtest/gtest.h>

namespace {

TEST(FpsLabel, MeasuresOncePerSecondAndKeepsZeroUntilAMeasurementIsNonzero) {
    FpsLabel label(0);
    label.CountFrame(3000);  // one frame in three seconds truncates to 0
    EXPECT_EQ(label.Text(), "0");
    for (int t = 3001; t <= 4000; ++t) label.CountFrame(t);
    EXPECT_EQ(label.Text(), "0") << "no measurement within the second";
    label.CountFrame(4001);  // 1001 frames over 1001 ms
    EXPECT_EQ(label.Text(), "FPS:1000");
}

}  // namespace
