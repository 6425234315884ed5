#include "effects/ranged_value.h"

#include <gtest/gtest.h>

#include <climits>

#include "particle_test_support.h"

namespace {

TEST(RangedValueTest, WithoutReferenceTheThirdNumberCountsSteps) {
    RangedValue<float> value;
    value.Read("1,3,4", 0);
    EXPECT_FALSE(value.random);
    EXPECT_FLOAT_EQ(value.start, 1);
    EXPECT_FLOAT_EQ(value.end, 3);
    EXPECT_FLOAT_EQ(value.step, 0.5f) << "step = (b - a) / step count";

    value.Read("1,3,0", 0);
    EXPECT_TRUE(value.random) << "a step count of 0 makes the value random";
    value.Read("1,3,0.9", 0);
    EXPECT_TRUE(value.random) << "the step count is truncated to an integer";
}

TEST(RangedValueTest, WithReferenceTheThirdNumberChoosesRandom) {
    RangedValue<float> value;
    value.Read("1,3,0", 4);
    EXPECT_FALSE(value.random);
    EXPECT_FLOAT_EQ(value.step, 0.5f) << "step = (b - a) / reference count";

    value.Read("1,3,2", 4);
    EXPECT_TRUE(value.random) << "a third number other than 0 makes it random";
    EXPECT_FLOAT_EQ(value.step, 0);
}

TEST(RangedValueTest, FewerThanThreeNumbersLeaveTheValueUnchanged) {
    RangedValue<float> value;
    value.Read("2,4,0", 2);
    for (const char* text : {"", "5", "5,6", "5;6;7", "a,b,c"}) {
        value.Read(text, 1);
        EXPECT_FLOAT_EQ(value.start, 2) << text;
        EXPECT_FLOAT_EQ(value.step, 1) << text;
        EXPECT_FALSE(value.random) << text;
    }
}

TEST(RangedValueTest, FixedValuesDrawTheirStartRandomOnesSpreadOverTheRange) {
    RangedValue<float> value;
    value.Read("0.25,9,0", 10);
    EXPECT_FLOAT_EQ(value.Draw(Repeating({32767})), 0.25f) << "a fixed value draws its start";
    value.Read("1,3,1", 1);
    EXPECT_FLOAT_EQ(value.Draw(Repeating({0})), 1);
    EXPECT_FLOAT_EQ(value.Draw(Repeating({32767})), 3);
    EXPECT_NEAR(value.Draw(Repeating({16384})), 2, 1e-3);
}

TEST(RangedValueTest, IntegerValuesTruncate) {
    RangedValue<int> life;
    life.Read("200,800,1", 1);
    EXPECT_EQ(life.Draw(Repeating({16384})), 500) << "200 + 600 * 16384 / 32767 = 500.009";
    EXPECT_EQ(life.Draw(Repeating({1})), 200);
    life.Read("500.7,500.7,0", 1);
    EXPECT_EQ(life.Draw(Repeating({0})), 500);
}

TEST(RangedValueTest, HugeAndNonNumbersSaturateInsteadOfOverflowing) {
    RangedValue<int> life;
    life.Read("1e30,-1e30,1", 1);
    EXPECT_EQ(life.start, INT_MAX);
    EXPECT_EQ(life.end, INT_MIN);
    EXPECT_EQ(life.Draw(Repeating({32767})), INT_MIN);
    life.Read("nan,2,nan", 0);
    EXPECT_EQ(life.start, 0);
    EXPECT_TRUE(life.random) << "a step count that is no number counts as 0";
}

TEST(LinearRandomTest, StaysInRangeAndRepeatsForOneSeed) {
    LinearRandom first(7), second(7);
    for (int i = 0; i < 1000; ++i) {
        int result = first();
        ASSERT_GE(result, 0);
        ASSERT_LE(result, kRandomMax);
        ASSERT_EQ(result, second());
    }
}

}  // namespace
