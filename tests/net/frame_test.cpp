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
    } const cases[] = {{0, 3, 0}, {1, 4, 0}, {253, 0, 1}, {kMaxPayloadSize, 0xff, 0xff}};
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

TEST(Frame, EveryCutOfAFrameNeedsMoreUntilTheLastByte) {
    const std::vector<uint8_t> frame = Frame(1, "hello");
    for (size_t cut = 0; cut < frame.size(); ++cut) {
        FrameHead head;
        EXPECT_EQ(CheckFrame(frame.data(), cut, head), FrameStatus::kNeedMore) << cut;
    }
    FrameHead head;
    ASSERT_EQ(CheckFrame(frame.data(), frame.size(), head), FrameStatus::kFrame);
    EXPECT_EQ(head.length, 8u);
    EXPECT_EQ(head.kind, 1);
}

TEST(Frame, LengthsThatCanNeverBeAFrameAreBad) {
    struct Case {
        std::vector<uint8_t> bytes;
        size_t maxFrame;
        FrameStatus expected;
    } const cases[] = {
        {{0, 0}, kMaxFrameSize, FrameStatus::kBad},
        {{1, 0, 5}, kMaxFrameSize, FrameStatus::kBad},
        {{2, 0, 5, 6}, kMaxFrameSize, FrameStatus::kBad},
        {{3, 0, 5}, kMaxFrameSize, FrameStatus::kFrame},
        {{9, 0, 5}, 8, FrameStatus::kBad},
        {{8, 0, 5}, 8, FrameStatus::kNeedMore},
        {{0xff, 0xff, 5}, kMaxFrameSize, FrameStatus::kNeedMore},
        {{0xff, 0xff}, 1024, FrameStatus::kBad},
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

TEST(Frame, TakeFrameSplitsKindAndPayloadAndLeavesPartialFramesAlone) {
    ByteQueue queue;
    const std::vector<uint8_t> first = Frame(13, "ping");
    const std::vector<uint8_t> second = Frame(7, "");
    queue.Append(first.data(), first.size());
    queue.Append(second.data(), 2);

    uint8_t kind = 0;
    std::vector<uint8_t> payload{9, 9};
    EXPECT_EQ(TakeFrame(queue, kind, payload), FrameStatus::kFrame);
    EXPECT_EQ(kind, 13);
    EXPECT_EQ(std::string(payload.begin(), payload.end()), "ping");
    EXPECT_EQ(TakeFrame(queue, kind, payload), FrameStatus::kNeedMore);
    EXPECT_EQ(queue.Unread(), 2u);
    queue.Append(second.data() + 2, 1);
    EXPECT_EQ(TakeFrame(queue, kind, payload), FrameStatus::kFrame);
    EXPECT_EQ(kind, 7);
    EXPECT_TRUE(payload.empty());
    EXPECT_EQ(queue.Unread(), 0u);
}

}  // namespace
