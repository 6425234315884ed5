#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>

// The one way untrusted bytes (files, packets) are read: every read is bounded by
// the buffer, and once a read runs past the end the error flag stays set and all
// further reads yield zeros. Callers check Ok() (or Remaining()) before they
// allocate or index with a count they read.
class ByteReader {
public:
    ByteReader(const void* data, size_t size) : data_(static_cast<const uint8_t*>(data)), size_(size) {}

    bool Ok() const { return !failed_; }
    size_t Position() const { return position_; }
    size_t Size() const { return size_; }
    size_t Remaining() const { return failed_ ? 0 : size_ - position_; }
    bool AtEnd() const { return Remaining() == 0; }
    void Fail() { failed_ = true; }

    // True when `count` items of `itemSize` bytes are still there, overflow included.
    bool CanRead(size_t count, size_t itemSize = 1) const {
        if (failed_) return false;
        if (itemSize != 0 && count > (size_ - position_) / itemSize) return false;
        return true;
    }

    bool Skip(size_t count) {
        if (!CanRead(count)) return Fail(), false;
        position_ += count;
        return true;
    }

    bool Seek(size_t position) {
        if (failed_ || position > size_) return Fail(), false;
        position_ = position;
        return true;
    }

    bool ReadBytes(void* out, size_t count) {
        if (!CanRead(count)) {
            if (count) std::memset(out, 0, count);
            return Fail(), false;
        }
        if (count) std::memcpy(out, data_ + position_, count);
        position_ += count;
        return true;
    }

    // A pointer to the next `count` bytes, or nullptr (and the error set) when they are not there.
    const uint8_t* Take(size_t count) {
        if (!CanRead(count)) return Fail(), nullptr;
        const uint8_t* start = data_ + position_;
        position_ += count;
        return start;
    }

    uint8_t U8() { return static_cast<uint8_t>(Little(1)); }
    uint16_t U16() { return static_cast<uint16_t>(Little(2)); }
    uint32_t U32() { return static_cast<uint32_t>(Little(4)); }
    int8_t I8() { return static_cast<int8_t>(U8()); }
    int16_t I16() { return static_cast<int16_t>(U16()); }
    int32_t I32() { return static_cast<int32_t>(U32()); }
    uint64_t U64() { return Little(8); }

    float F32() {
        uint32_t bits = U32();
        float value;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }

    double F64() {
        uint64_t bits = U64();
        double value;
        std::memcpy(&value, &bits, sizeof value);
        return value;
    }

    // `count` raw bytes as a string (an embedded NUL ends nothing here).
    std::string String(size_t count) {
        const uint8_t* bytes = Take(count);
        return bytes ? std::string(reinterpret_cast<const char*>(bytes), count) : std::string();
    }

private:
    uint64_t Little(size_t count) {
        const uint8_t* bytes = Take(count);
        if (bytes == nullptr) return 0;
        uint64_t value = 0;
        for (size_t i = count; i-- > 0;) value = (value << 8) | bytes[i];
        return value;
    }

    const uint8_t* data_;
    size_t size_;
    size_t position_ = 0;
    bool failed_ = false;
};
