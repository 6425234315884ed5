#include "gui/fps_label.h"

#include <gtest/gtest.h>

namespace {

TEST(FpsLabel, TheFirstDrawAlreadyMeasuresSinceConstruction) {
    FpsLabel label(1000);
    label.CountFrame(1500);  // one frame in half a second
    EXPECT_EQ(label.Text(), "FPS:2");
}

TEST(FpsLabel, KeepsZeroUntilAMeasurementIsNonzero) {
    FpsLabel label(0);
    label.CountFrame(0);  // not later than the next measurement time: no measurement
    EXPECT_EQ(label.Text(), "0");
    label.CountFrame(3000);  // two frames in three seconds truncate to 0
    EXPECT_EQ(label.Text(), "0");
}

TEST(FpsLabel, MeasuresOncePerSecondAndOnlyChangesWithTheNumber) {
    FpsLabel label(0);
    label.CountFrame(1);  // 1 frame in 1 ms: 1000
    EXPECT_EQ(label.Text(), "FPS:1000");
    for (int t = 2; t <= 1001; ++t) label.CountFrame(t);  // within the second: no measurement
    EXPECT_EQ(label.Text(), "FPS:1000");
    label.CountFrame(1002);  // 1001 frames over 1001 ms: the same number, the same text
    EXPECT_EQ(label.Text(), "FPS:1000");
    for (int t = 1003; t <= 2001; ++t) label.CountFrame(t);
    label.CountFrame(3002);  // 1000 frames over two seconds
    EXPECT_EQ(label.Text(), "FPS:500");
}

}  // namespace
