#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

class ByteQueue;

// One message of the game protocol, in both directions: a 16-bit little-endian
// length that counts the whole frame (payload + 3), the message kind, the payload.
constexpr size_t kFrameHeadSize = 3;
constexpr size_t kMaxFrameSize = 0xffff;
constexpr size_t kMaxPayloadSize = kMaxFrameSize - kFrameHeadSize;

enum class FrameStatus {
    kNeedMore,  // not a whole frame yet: wait for more bytes
    kFrame,     // a whole frame is at the front
    kBad,       // the length field can never describe a frame: drop the stream
};

struct FrameHead {
    size_t length = 0;  // the whole frame, head included
    uint8_t kind = 0;
};

// Looks at the front of a byte stream. A length below 3 would never consume any
// bytes, and one above `maxFrameSize` is more than the reader accepts: both are
// kBad, so a reader never waits or loops on them. `head` is filled for kFrame.
FrameStatus CheckFrame(const uint8_t* data, size_t size, FrameHead& head, size_t maxFrameSize = kMaxFrameSize);
FrameStatus CheckFrame(const ByteQueue& queue, FrameHead& head, size_t maxFrameSize = kMaxFrameSize);

// Appends one frame to `out`; false (and `out` untouched) when the payload does not
// fit the 16-bit length.
bool AppendFrame(std::vector<uint8_t>& out, uint8_t kind, const void* payload, size_t length);
bool AppendFrame(ByteQueue& out, uint8_t kind, const void* payload, size_t length);
