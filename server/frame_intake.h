#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

#include "net/byte_queue.h"

struct IntakeLimits {
    size_t maxFrameSize = 4096;    // the largest frame a client may send, head included
    double framesPerSecond = 400;  // sustained frame rate a client may keep up
    double frameBurst = 800;       // frames a client may send at once above that rate
};

// Cuts one client's byte stream into frames and guards the server against it: a
// length that is too short or too long, or more frames than the rate allows, ends the
// connection. Socket-free, so the rules are tested and fuzzed without a network.
class FrameIntake {
public:
    using FrameHandler = std::function<void(uint8_t kind, const uint8_t* payload, size_t size)>;

    explicit FrameIntake(const IntakeLimits& limits);

    // Takes received bytes and hands every whole frame to `handler`. False when the
    // connection must be closed; Error() then says why.
    bool Feed(const uint8_t* data, size_t size, int64_t now, const FrameHandler& handler);
    const std::string& Error() const { return error_; }

private:
    bool TakeToken(int64_t now);

    IntakeLimits limits_;
    ByteQueue pending_;
    std::string frame_;  // scratch for the frame handed out, so its bytes are contiguous
    double tokens_;
    int64_t lastRefill_ = 0;
    bool refilled_ = false;
    std::string error_;
};
