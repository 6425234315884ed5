#include "server/frame_intake.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "net/frame.h"

namespace {

struct Seen {
    uint8_t kind;
    std::string payload;
    bool operator==(const Seen& other) const { return kind == other.kind && payload == other.payload; }
};

std::vector<uint8_t> Frame(uint8_t kind, const std::string& payload) {
    std::vector<uint8_t> out;
    AppendFrame(out, kind, payload.data(), payload.size());
    return out;
}

TEST(FrameIntake, FramesComeWholeWhateverPiecesTheyArriveIn) {
    std::vector<uint8_t> stream = Frame(10, "Alice");
    const std::vector<uint8_t> second = Frame(7, "");
    stream.insert(stream.end(), second.begin(), second.end());
    for (size_t piece = 1; piece <= stream.size(); ++piece) {
        SCOPED_TRACE(piece);
        FrameIntake intake{IntakeLimits()};
        std::vector<Seen> seen;
        for (size_t at = 0; at < stream.size(); at += piece) {
            const size_t count = std::min(piece, stream.size() - at);
            ASSERT_TRUE(intake.Feed(stream.data() + at, count, 0, [&](uint8_t kind, const uint8_t* p, size_t n) {
                seen.push_back({kind, std::string(reinterpret_cast<const char*>(p), n)});
            }));
        }
        EXPECT_EQ(seen, (std::vector<Seen>{{10, "Alice"}, {7, ""}}));
    }
}

TEST(FrameIntake, LengthsOutsideThreeToTheLimitCloseTheConnection) {
    struct Case {
        std::vector<uint8_t> bytes;
        bool ok;
        const char* error;
    } const cases[] = {
        {{2, 0, 1}, false, "bad frame length 2"},
        {{0x01, 0x10, 1}, false, "bad frame length 4097"},
        {{0x00, 0x10, 1}, true, ""},  // 4096 bytes is allowed; it waits for the rest
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.error);
        FrameIntake intake{IntakeLimits()};
        int frames = 0;
        EXPECT_EQ(intake.Feed(c.bytes.data(), c.bytes.size(), 0, [&](uint8_t, const uint8_t*, size_t) { ++frames; }),
                  c.ok);
        EXPECT_EQ(intake.Error(), c.error);
        EXPECT_EQ(frames, 0);
    }
}

TEST(FrameIntake, AFloodBeyondTheBurstClosesTheConnectionButASteadyRateDoesNot) {
    IntakeLimits limits;
    limits.framesPerSecond = 100;
    limits.frameBurst = 10;
    const std::vector<uint8_t> ping = Frame(13, "abcd");
    const auto ignore = [](uint8_t, const uint8_t*, size_t) {};

    FrameIntake steady(limits);
    for (int64_t ms = 0; ms < 5000; ms += 10) ASSERT_TRUE(steady.Feed(ping.data(), ping.size(), ms, ignore)) << ms;

    FrameIntake flood(limits);
    std::vector<uint8_t> burst;
    for (int i = 0; i < 11; ++i) burst.insert(burst.end(), ping.begin(), ping.end());
    EXPECT_FALSE(flood.Feed(burst.data(), burst.size(), 0, ignore));
    EXPECT_EQ(flood.Error(), "too many frames");
    EXPECT_FALSE(flood.Feed(ping.data(), ping.size(), 100000, ignore));
}

}  // namespace
