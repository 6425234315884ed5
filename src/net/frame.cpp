#include "net/frame.h"

#include "net/byte_queue.h"

namespace {

bool EncodeHead(uint8_t (&head)[kFrameHeadSize], uint8_t kind, size_t payloadLength) {
    if (payloadLength > kMaxPayloadSize) return false;
    const size_t total = payloadLength + kFrameHeadSize;
    head[0] = static_cast<uint8_t>(total & 0xff);
    head[1] = static_cast<uint8_t>(total >> 8);
    head[2] = kind;
    return true;
}

// `front` holds the first bytes of a stream of `available` bytes (at least 3 of
// them when the stream is that long).
FrameStatus Classify(const uint8_t* front, size_t frontSize, size_t available, FrameHead& head, size_t maxFrameSize) {
    if (frontSize < 2) return FrameStatus::kNeedMore;
    const size_t length = front[0] | (static_cast<size_t>(front[1]) << 8);
    if (length < kFrameHeadSize || length > maxFrameSize) return FrameStatus::kBad;
    if (available < length || frontSize < kFrameHeadSize) return FrameStatus::kNeedMore;
    head.length = length;
    head.kind = front[2];
    return FrameStatus::kFrame;
}

}  // namespace

FrameStatus CheckFrame(const uint8_t* data, size_t size, FrameHead& head, size_t maxFrameSize) {
    if (data == nullptr) return FrameStatus::kNeedMore;
    return Classify(data, size, size, head, maxFrameSize);
}

FrameStatus CheckFrame(const ByteQueue& queue, FrameHead& head, size_t maxFrameSize) {
    // Only the head is copied out; the length is checked against the whole queue.
    uint8_t front[kFrameHeadSize];
    const size_t got = queue.Peek(front, sizeof front);
    return Classify(front, got, queue.Unread(), head, maxFrameSize);
}

bool AppendFrame(std::vector<uint8_t>& out, uint8_t kind, const void* payload, size_t length) {
    uint8_t head[kFrameHeadSize];
    if (!EncodeHead(head, kind, length)) return false;
    out.insert(out.end(), head, head + kFrameHeadSize);
    if (payload != nullptr && length != 0) {
        const auto* bytes = static_cast<const uint8_t*>(payload);
        out.insert(out.end(), bytes, bytes + length);
    }
    return true;
}

bool AppendFrame(ByteQueue& out, uint8_t kind, const void* payload, size_t length) {
    std::vector<uint8_t> frame;
    if (!AppendFrame(frame, kind, payload, length)) return false;
    // One append, so a sender on another thread never sees half a frame.
    out.Append(frame.data(), frame.size());
    return true;
}
