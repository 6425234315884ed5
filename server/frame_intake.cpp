#include "server/frame_intake.h"

#include <algorithm>
#include <cstdio>

#include "net/frame.h"

FrameIntake::FrameIntake(const IntakeLimits& limits) : limits_(limits), tokens_(limits.frameBurst) {}

bool FrameIntake::Feed(const uint8_t* data, size_t size, int64_t now, const FrameHandler& handler) {
    if (!error_.empty()) return false;
    pending_.Append(data, size);
    for (;;) {
        FrameHead head;
        const FrameStatus status = CheckFrame(pending_, head, limits_.maxFrameSize);
        if (status == FrameStatus::kNeedMore) return true;
        if (status == FrameStatus::kBad) {
            uint8_t length[2] = {0, 0};
            pending_.Peek(length, sizeof length);
            char text[64];
            std::snprintf(text, sizeof text, "bad frame length %u", static_cast<unsigned>(length[0] | length[1] << 8));
            error_ = text;
            return false;
        }
        if (!TakeToken(now)) {
            error_ = "too many frames";
            return false;
        }
        pending_.ReadString(frame_, head.length);
        const uint8_t* bytes = reinterpret_cast<const uint8_t*>(frame_.data());
        handler(head.kind, bytes + kFrameHeadSize, head.length - kFrameHeadSize);
    }
}

bool FrameIntake::TakeToken(int64_t now) {
    if (!refilled_) {
        refilled_ = true;
        lastRefill_ = now;
    }
    if (now > lastRefill_) {
        tokens_ = std::min(limits_.frameBurst, tokens_ + (now - lastRefill_) * limits_.framesPerSecond / 1000.0);
        lastRefill_ = now;
    }
    if (tokens_ < 1.0) return false;
    tokens_ -= 1.0;
    return true;
}
