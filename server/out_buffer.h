#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// A connection's outgoing bytes: the block the socket is writing now and the bytes
// queued behind it. Both together never exceed the limit, so a client that stops
// reading costs the server a bounded amount of memory before it is dropped.
class OutBuffer {
public:
    explicit OutBuffer(size_t limit) : limit_(limit) {}

    // False (and nothing queued) when the bytes would pass the limit.
    bool Append(const std::vector<uint8_t>& bytes);
    // The next block to write, or nullptr while a write is under way or nothing waits.
    // The block stays valid until WriteDone.
    const std::vector<uint8_t>* StartWrite();
    void WriteDone() { writing_.clear(); }
    size_t Size() const { return writing_.size() + queued_.size(); }

private:
    size_t limit_;
    std::vector<uint8_t> writing_;
    std::vector<uint8_t> queued_;
};
