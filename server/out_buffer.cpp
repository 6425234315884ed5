#include "server/out_buffer.h"

bool OutBuffer::Append(const std::vector<uint8_t>& bytes) {
    if (Size() + bytes.size() > limit_) return false;
    queued_.insert(queued_.end(), bytes.begin(), bytes.end());
    return true;
}

const std::vector<uint8_t>* OutBuffer::StartWrite() {
    if (!writing_.empty() || queued_.empty()) return nullptr;
    writing_.swap(queued_);
    return &writing_;
}
