#include "net/lag_estimator.h"

#include <algorithm>
#include <cstdlib>

#include "base/report.h"

PingSample MakePingSample(int32_t sent, int32_t server, int32_t receipt) {
    PingSample sample;
    sample.receipt = receipt;
    sample.sent = sent;
    sample.server = server;
    sample.round_trip = receipt - sent;
    sample.half_trip = sample.round_trip / 2;
    sample.offset = sample.half_trip - receipt + server;
    sample.abs_offset = std::abs(sample.offset);
    return sample;
}

void LagEstimator::Reset() {
    samples_.clear();
    oneWayTrip_ = -1;
}

LagEstimator::Correction LagEstimator::AddReply(int32_t sent, int32_t server, int32_t receipt) {
    const PingSample sample = MakePingSample(sent, server, receipt);
    Report(LogModule::kNet, LogLevel::kInfo, "Received (#%d)%d at %d, dif %d, lag=%d (server side: %d)",
           static_cast<int>(samples_.size()), sample.sent, sample.receipt, sample.round_trip, sample.offset,
           sample.server);
    samples_.push_back(sample);

    Correction correction;
    if (oneWayTrip_ == -1) {
        correction.set = true;
        correction.setTo = sample.server + sample.half_trip;
        oneWayTrip_ = sample.half_trip;
    }
    if (samples_.size() >= kSamplesPerAverage) {
        std::stable_sort(samples_.begin(), samples_.end(),
                         [](const PingSample& a, const PingSample& b) { return a.abs_offset < b.abs_offset; });
        int64_t sum = 0;
        for (size_t i = 0; i < kSamplesAveraged; ++i) sum += samples_[i].offset;
        const int32_t average = static_cast<int32_t>(sum / static_cast<int64_t>(kSamplesAveraged));
        Report(LogModule::kNet, LogLevel::kInfo, "Average lag=%d", average);
        correction.shift = true;
        correction.shiftBy = average;
        Report(LogModule::kNet, LogLevel::kInfo, "Trip time to server is %d", oneWayTrip_);
        samples_.clear();
    }
    oneWayTrip_ = std::min(oneWayTrip_, sample.half_trip);
    return correction;
}
