#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

// One ping reply: when it came back, when the ping left, the server's time in it, and
// what follows from them.
struct PingSample {
    int32_t receipt = 0;
    int32_t sent = 0;
    int32_t server = 0;
    int32_t round_trip = 0;  // receipt - sent
    int32_t half_trip = 0;   // round trip / 2, truncated
    int32_t offset = 0;      // half trip - receipt + server: how far the server is ahead
    int32_t abs_offset = 0;
};

PingSample MakePingSample(int32_t sent, int32_t server, int32_t receipt);

// Estimates the trip time to the server and the offset between its clock and ours
// from ping replies. After the first reply the clock is set outright; after every
// tenth it moves by the average of the 7 offsets smallest in size, so a few replies
// held up on the way do not pull it.
class LagEstimator {
public:
    static constexpr size_t kSamplesPerAverage = 10;
    static constexpr size_t kSamplesAveraged = 7;

    // What a reply asks of the clock.
    struct Correction {
        bool set = false;  // make the clock read `setTo` now
        int32_t setTo = 0;
        bool shift = false;  // move the clock by `shiftBy`
        int32_t shiftBy = 0;
    };

    // Before a race: no trip time known, no samples.
    void Reset();
    void DropSamples() { samples_.clear(); }
    Correction AddReply(int32_t sent, int32_t server, int32_t receipt);

    // -1 until the first reply.
    int32_t OneWayTrip() const { return oneWayTrip_; }
    bool SamplesPending() const { return !samples_.empty(); }
    size_t SampleCount() const { return samples_.size(); }

private:
    std::vector<PingSample> samples_;
    int32_t oneWayTrip_ = -1;
};
