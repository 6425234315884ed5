#include "gui/clip.h"

#include <gtest/gtest.h>

namespace {

TEST(Clip, TheBoxCountsFromTheWindowsBottomAndNestedClipsIntersect) {
    EXPECT_EQ(ClipBoxForView(10, 20, 100, 50, 480), (ClipBox{10, 410, 101, 51})) << "one pixel larger";
    const ClipBox outer{0, 0, 100, 100};
    EXPECT_EQ(Intersect(outer, ClipBox{50, 60, 100, 100}), (std::optional<ClipBox>{ClipBox{50, 60, 50, 40}}));
    EXPECT_FALSE(Intersect(outer, ClipBox{100, 0, 50, 50}).has_value()) << "boxes that only touch do not overlap";
}

}  // namespace
