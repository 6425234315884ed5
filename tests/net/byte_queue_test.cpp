#include "net/byte_queue.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <thread>

namespace {

void AppendText(ByteQueue& queue, const std::string& text) { queue.Append(text.data(), text.size()); }

std::string ReadAll(ByteQueue& queue) {
    std::string out;
    queue.ReadString(out, 0);
    return out;
}

TEST(ByteQueue, ZeroOrTooLargeCountsMeanEverythingUnread) {
    struct Case {
        size_t n;
        size_t taken;
        const char* left;
    } const cases[] = {
        {0, 6, ""},
        {2, 2, "cdef"},
        {6, 6, ""},
        {7, 6, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.n);
        ByteQueue queue;
        AppendText(queue, "abcdef");
        char out[8] = {};
        EXPECT_EQ(queue.Read(out, c.n), c.taken);
        EXPECT_EQ(std::string(out, c.taken), std::string("abcdef", c.taken));
        EXPECT_EQ(ReadAll(queue), c.left);
    }
}

TEST(ByteQueue, PeekNeverCopiesMoreThanAskedOrThanThereIs) {
    ByteQueue queue;
    char out[4] = {'-', '-', '-', '-'};
    EXPECT_EQ(queue.Peek(out, 4), 0u);
    AppendText(queue, "ab");
    EXPECT_EQ(queue.Peek(out, 0), 0u);
    EXPECT_EQ(queue.Peek(out, 4), 2u);
    EXPECT_EQ(std::string(out, 4), "ab--");
    EXPECT_EQ(queue.Unread(), 2u);
}

TEST(ByteQueue, MoveToCarriesBytesToTheOtherQueuesEnd) {
    ByteQueue from;
    ByteQueue to;
    AppendText(from, "hello world");
    AppendText(to, ">");
    EXPECT_EQ(from.MoveTo(to, 5), 5u);
    EXPECT_EQ(ReadAll(to), ">hello");
    EXPECT_EQ(from.MoveTo(from, 0), 0u) << "a queue moved to itself would take its own lock twice";
    EXPECT_EQ(from.Unread(), 6u);
}

TEST(ByteQueue, AWriterAndAReaderOnTwoThreadsLoseNoByte) {
    ByteQueue queue;
    constexpr int kBytes = 20000;
    std::thread writer([&queue] {
        for (int i = 0; i < kBytes; ++i) {
            const auto byte = static_cast<uint8_t>(i);
            queue.Append(&byte, 1);
        }
    });
    int received = 0;
    bool inOrder = true;
    // Bounded by the writer: it always finishes, and then the reader drains the rest.
    while (received < kBytes) {
        uint8_t chunk[256];
        // A count of 0 would mean "everything", which may be more than the chunk holds.
        const size_t wanted = std::min<size_t>(sizeof chunk, queue.Unread());
        if (wanted == 0) {
            std::this_thread::yield();
            continue;
        }
        const size_t count = queue.Read(chunk, wanted);
        for (size_t i = 0; i < count; ++i) inOrder = inOrder && chunk[i] == static_cast<uint8_t>(received + i);
        received += static_cast<int>(count);
    }
    writer.join();
    EXPECT_EQ(received, kBytes);
    EXPECT_TRUE(inOrder);
}

}  // namespace
