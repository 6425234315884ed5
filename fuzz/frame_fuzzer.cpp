#include <cstddef>
#include <cstdint>
#include <cstdlib>

#include "net/byte_queue.h"
#include "net/frame.h"

// Any byte stream, delivered in pieces whose sizes the first byte picks, is cut into
// the same frames as the stream read whole; each frame consumes at least its head,
// and a bad length ends the stream instead of stalling it.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const size_t piece = data[0] % 17 + 1;
    const size_t maxFrame = data[0] & 0x80 ? 64 : kMaxFrameSize;
    ++data;
    --size;

    ByteQueue queue;
    size_t wholeOffset = 0;  // where the same frame starts in the whole stream
    for (size_t fed = 0; fed < size;) {
        const size_t count = size - fed < piece ? size - fed : piece;
        queue.Append(data + fed, count);
        fed += count;
        for (;;) {
            FrameHead head;
            const FrameStatus status = CheckFrame(queue, head, maxFrame);
            FrameHead whole;
            const FrameStatus wholeStatus = CheckFrame(data + wholeOffset, fed - wholeOffset, whole, maxFrame);
            if (status != wholeStatus) std::abort();
            if (status == FrameStatus::kBad) return 0;
            if (status == FrameStatus::kNeedMore) break;
            if (head.length < kFrameHeadSize || head.length > queue.Unread() || head.length != whole.length)
                std::abort();
            queue.Skip(head.length);
            wholeOffset += head.length;
        }
    }
    return 0;
}
