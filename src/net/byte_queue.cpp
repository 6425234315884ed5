#include "net/byte_queue.h"

#include <algorithm>
#include <cstring>

void ByteQueue::Append(const void* bytes, size_t n) {
    if (bytes == nullptr || n == 0) return;
    const auto* first = static_cast<const uint8_t*>(bytes);
    SpinLockGuard guard(lock_);
    data_.insert(data_.end(), first, first + n);
}

size_t ByteQueue::Read(void* destination, size_t n) {
    SpinLockGuard guard(lock_);
    const size_t count = CountFor(n);
    if (count != 0) std::memcpy(destination, data_.data() + offset_, count);
    return ConsumeLocked(count);
}

size_t ByteQueue::ReadString(std::string& out, size_t n) {
    SpinLockGuard guard(lock_);
    const size_t count = CountFor(n);
    out.assign(reinterpret_cast<const char*>(data_.data() + offset_), count);
    return ConsumeLocked(count);
}

size_t ByteQueue::Skip(size_t n) {
    SpinLockGuard guard(lock_);
    return ConsumeLocked(CountFor(n));
}

size_t ByteQueue::Consume(size_t n) { return Skip(n); }

size_t ByteQueue::MoveTo(ByteQueue& other, size_t n) {
    if (&other == this) return 0;
    SpinLockGuard guard(lock_);
    const size_t count = CountFor(n);
    {
        SpinLockGuard otherGuard(other.lock_);
        other.data_.insert(other.data_.end(), data_.begin() + offset_, data_.begin() + offset_ + count);
    }
    return ConsumeLocked(count);
}

size_t ByteQueue::Peek(void* destination, size_t n) const {
    SpinLockGuard guard(lock_);
    const size_t count = std::min(n, data_.size() - offset_);
    if (count != 0) std::memcpy(destination, data_.data() + offset_, count);
    return count;
}

size_t ByteQueue::Unread() const {
    SpinLockGuard guard(lock_);
    return data_.size() - offset_;
}

size_t ByteQueue::ConsumeLocked(size_t n) {
    offset_ += n;
    if (offset_ == data_.size()) {
        data_.clear();
        offset_ = 0;
    }
    return n;
}
