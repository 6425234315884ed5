#include "effects/ranged_value.h"

#include <gtest/gtest.h>

#include <climits>

#include "particle_test_support.h"

namespace {

TEST(RangedValueTest, BadTextLeavesTheValueAndHugeNumbersSaturate) {
    RangedValue<int> life;
    life.Read("200,800,0", 2);
    for (const char* text : {"", "5", "5,6", "5;6;7", "a,b,c"}) {
        life.Read(text, 1);
        EXPECT_EQ(life.start, 200) << "fewer than three numbers leave the value: " << text;
        EXPECT_FALSE(life.random) << text;
    }
    life.Read("1e30,-1e30,1", 1);
    EXPECT_EQ(life.start, INT_MAX);
    EXPECT_EQ(life.end, INT_MIN);
    EXPECT_EQ(life.Draw(Repeating({32767})), INT_MIN) << "a draw over the whole range must not overflow";
    life.Read("nan,2,nan", 0);
    EXPECT_EQ(life.start, 0);
    EXPECT_TRUE(life.random) << "a step count that is no number counts as 0";
}

}  // namespace
