#include <gtest/gtest.h>

#include "server/admission.h"
#include "server/out_buffer.h"

namespace {

TEST(Admission, CountsPerAddressAndInAll) {
    Admission admission(3, 2);
    EXPECT_TRUE(admission.Admit("a"));
    EXPECT_TRUE(admission.Admit("a"));
    EXPECT_FALSE(admission.Admit("a"));
    EXPECT_TRUE(admission.Admit("b"));
    EXPECT_FALSE(admission.Admit("c"));  // three in all
    admission.Release("a");
    EXPECT_TRUE(admission.Admit("c"));
    EXPECT_FALSE(admission.Admit("a"));
    admission.Release("nobody");
    EXPECT_EQ(admission.Total(), 3u);
}

TEST(OutBuffer, HoldsAtMostItsLimitAcrossTheWrittenAndTheQueuedBlock) {
    OutBuffer out(10);
    EXPECT_TRUE(out.Append({1, 2, 3, 4}));
    const std::vector<uint8_t>* block = out.StartWrite();
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(*block, (std::vector<uint8_t>{1, 2, 3, 4}));
    EXPECT_TRUE(out.Append({5, 6, 7, 8, 9, 10}));
    EXPECT_EQ(out.StartWrite(), nullptr);  // one write at a time
    EXPECT_FALSE(out.Append({11}));
    out.WriteDone();
    EXPECT_TRUE(out.Append({11}));
    block = out.StartWrite();
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(*block, (std::vector<uint8_t>{5, 6, 7, 8, 9, 10, 11}));
}

}  // namespace
