#include "base/byte_reader.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

namespace {

TEST(ByteReader, ReadsLittleEndianValues) {
    const uint8_t bytes[] = {0x01, 0x02, 0x03, 0x04, 0xff, 0xff, 0x00, 0x00, 0x80, 0x3f};
    ByteReader reader(bytes, sizeof bytes);
    EXPECT_EQ(reader.U32(), 0x04030201u);
    EXPECT_EQ(reader.I16(), -1);
    EXPECT_FLOAT_EQ(reader.F32(), 1.0f);
    EXPECT_TRUE(reader.Ok());
    EXPECT_TRUE(reader.AtEnd());
}

TEST(ByteReader, AnOverrunSetsAStickyErrorAndYieldsZeros) {
    const uint8_t bytes[] = {1, 2, 3};
    ByteReader reader(bytes, sizeof bytes);
    EXPECT_EQ(reader.U32(), 0u);
    EXPECT_FALSE(reader.Ok());
    EXPECT_EQ(reader.U8(), 0u);  // would have fit, but the error stays
    EXPECT_EQ(reader.Remaining(), 0u);
}

TEST(ByteReader, CountChecksCannotOverflow) {
    const uint8_t bytes[16] = {};
    ByteReader reader(bytes, sizeof bytes);
    EXPECT_TRUE(reader.CanRead(4, 4));
    EXPECT_FALSE(reader.CanRead(5, 4));
    EXPECT_FALSE(reader.CanRead(std::numeric_limits<size_t>::max() / 2 + 1, 2));
    EXPECT_TRUE(reader.Ok());
    EXPECT_EQ(reader.Take(17), nullptr);
    EXPECT_FALSE(reader.Ok());
}

TEST(ByteReader, SeekAndStringsStayInside) {
    const char text[] = "abcdef";
    ByteReader reader(text, 6);
    EXPECT_TRUE(reader.Seek(2));
    EXPECT_EQ(reader.String(3), "cde");
    EXPECT_FALSE(reader.Seek(7));
    EXPECT_EQ(reader.String(1), "");
}

}  // namespace
