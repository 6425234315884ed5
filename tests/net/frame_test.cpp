#include "net/frame.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "net/byte_queue.h"

namespace {

std::vector<uint8_t> Frame(uint8_t kind, const std::string& payload) {
    std::vector<uint8_t> out;
    EXPECT_TRUE(AppendFrame(out, kind, payload.data(), payload.size()));
    return out;
}

TEST(Frame, TheLengthCountsTheHeadAndIsLittleEndian) {
    struct Case {
        size_t payload;
        uint8_t low;
        uint8_t high;
    } const cases[] = {{253, 0, 1}, {kMaxPayloadSize, 0xff, 0xff}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.payload);
        const std::vector<uint8_t> frame = Frame(9, std::string(c.payload, 'x'));
        ASSERT_EQ(frame.size(), c.payload + 3);
        EXPECT_EQ(frame[0], c.low);
        EXPECT_EQ(frame[1], c.high);
        EXPECT_EQ(frame[2], 9);
    }
    std::vector<uint8_t> out;
    EXPECT_TRUE(AppendFrame(out, 8, nullptr, 0));
    EXPECT_EQ(out, (std::vector<uint8_t>{3, 0, 8})) << "an empty payload is exactly three bytes";
}

TEST(Frame, APayloadBeyondTheLengthFieldIsRefused) {
    std::vector<uint8_t> out{1, 2};
    const std::string big(kMaxPayloadSize + 1, 'x');
    EXPECT_FALSE(AppendFrame(out, 1, big.data(), big.size()));
    EXPECT_EQ(out, (std::vector<uint8_t>{1, 2}));
    ByteQueue queue;
    EXPECT_FALSE(AppendFrame(queue, 1, big.data(), big.size()));
    EXPECT_EQ(queue.Unread(), 0u);
}

TEST(Frame, LengthsThatCanNeverBeAFrameAreBad) {
    struct Case {
        std::vector<uint8_t> bytes;
        size_t maxFrame;
        FrameStatus expected;
    } const cases[] = {
        {{2, 0}, kMaxFrameSize, FrameStatus::kBad},
        {{3, 0, 5}, kMaxFrameSize, FrameStatus::kFrame},
        {{9, 0, 5}, 8, FrameStatus::kBad},
        {{8, 0, 5}, 8, FrameStatus::kNeedMore},
        {{0xff, 0xff, 5}, kMaxFrameSize, FrameStatus::kNeedMore},
        {{0}, kMaxFrameSize, FrameStatus::kNeedMore},
    };
    for (const Case& c : cases) {
        FrameHead head;
        EXPECT_EQ(CheckFrame(c.bytes.data(), c.bytes.size(), head, c.maxFrame), c.expected)
            << testing::PrintToString(c.bytes);
        ByteQueue queue;
        queue.Append(c.bytes.data(), c.bytes.size());
        EXPECT_EQ(CheckFrame(queue, head, c.maxFrame), c.expected) << testing::PrintToString(c.bytes);
    }
}

}  // namespace
