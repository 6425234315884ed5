#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "base/spin_lock.h"

// A growable byte array read from the front. Bytes already read stay in the array
// behind a read offset until the last unread byte goes; then the array empties and
// the offset returns to 0, so the queue never compacts in the middle.
//
// Every operation takes the queue's own lock for its whole duration, so the main
// thread can queue a message while the network thread drains the same queue. For
// every "n" below, 0 or more than the unread count means all unread bytes.
class ByteQueue {
public:
    ByteQueue() = default;
    ByteQueue(const ByteQueue&) = delete;
    ByteQueue& operator=(const ByteQueue&) = delete;

    void Append(const void* bytes, size_t n);
    // Copies and consumes; returns how many bytes were copied.
    size_t Read(void* destination, size_t n);
    size_t ReadString(std::string& out, size_t n);
    // Consumes without copying. Unlike the queue's first design it locks too: the lock
    // is not re-entrant, and no caller holds it across calls.
    size_t Skip(size_t n);
    // The same as Skip, named for the sender, which drops what the socket took.
    size_t Consume(size_t n);
    // Moves bytes from this queue's front to the end of `other`, holding this queue's
    // lock and then the other's (always in that order).
    size_t MoveTo(ByteQueue& other, size_t n);
    // Copies up to n bytes (n = 0 copies none) from the front without consuming them;
    // returns the count.
    size_t Peek(void* destination, size_t n) const;
    size_t Unread() const;

private:
    size_t CountFor(size_t n) const { return n == 0 || n > data_.size() - offset_ ? data_.size() - offset_ : n; }
    size_t ConsumeLocked(size_t n);

    std::vector<uint8_t> data_;
    size_t offset_ = 0;
    mutable SpinLock lock_;
};
