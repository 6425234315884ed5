#include "sound_capture.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <thread>
#include <vector>

#include <stdlib.h>

#include <gtest/gtest.h>

#include "base/clock.h"

namespace {

constexpr int64_t kWaitLimitMs = 5000;
constexpr size_t kChannels = 2;
constexpr size_t kFrameBytes = kChannels * sizeof(float);

// OpenAL reads its configuration at its first use, so the backend is chosen before any
// test runs, whichever test of the binary is the first to open a device.
class WaveBackendEnvironment : public ::testing::Environment {
public:
    void SetUp() override { SoundCapture::Instance(); }
};

const ::testing::Environment* const kWaveBackendEnvironment =
    ::testing::AddGlobalTestEnvironment(new WaveBackendEnvironment);

}  // namespace

SoundCapture& SoundCapture::Instance() {
    static SoundCapture capture;
    return capture;
}

SoundCapture::SoundCapture() : deviceDir_(dir_.File("device")), file_(dir_.File("device/mix.wav")) {
    std::filesystem::create_directories(deviceDir_);
    // Float samples keep silence exactly zero: integer output would be dithered.
    dir_.Write("alsoft.conf", "[general]\ndrivers = wave\nsample-type = float32\nchannels = stereo\nfrequency = " +
                                  std::to_string(kRate) + "\n[wave]\nfile = " + file_ + "\n");
    setenv("ALSOFT_DRIVERS", "wave", 1);
    setenv("ALSOFT_CONF", dir_.File("alsoft.conf").c_str(), 1);
}

// The header is written when the device opens; its sizes are only filled in when it
// closes, so the samples run from the data chunk to the end of what is on disk. The
// format chunk before it (stereo float at kRate) holds no "data".
size_t SoundCapture::DataOffset() {
    std::ifstream in(file_, std::ios::binary);
    std::string header(1024, '\0');
    in.read(header.data(), static_cast<std::streamsize>(header.size()));
    header.resize(static_cast<size_t>(in.gcount()));
    const size_t data = header.find("data", 12);
    return header.compare(0, 4, "RIFF") != 0 || data == std::string::npos ? 0 : data + 8;
}

size_t SoundCapture::FrameCount() {
    const size_t offset = DataOffset();
    std::error_code error;
    const size_t size = std::filesystem::file_size(file_, error);
    return offset == 0 || error || size < offset ? 0 : (size - offset) / kFrameBytes;
}

bool SoundCapture::WaitForFrames(size_t frameCount) {
    const int64_t deadline = NowMs() + kWaitLimitMs;
    while (FrameCount() < frameCount) {
        if (NowMs() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

float SoundCapture::Peak(size_t first, size_t last) {
    const size_t offset = DataOffset();
    if (offset == 0 || last <= first) return 0;
    std::vector<float> samples((last - first) * kChannels);
    std::ifstream in(file_, std::ios::binary);
    in.seekg(static_cast<std::streamoff>(offset + first * kFrameBytes));
    in.read(reinterpret_cast<char*>(samples.data()), static_cast<std::streamsize>(samples.size() * sizeof(float)));
    samples.resize(static_cast<size_t>(in.gcount()) / sizeof(float));
    float peak = 0;
    for (float sample : samples) peak = std::max(peak, std::fabs(sample));
    return peak;
}

float SoundCapture::PeakAfter(const std::function<void()>& action, int fromMs, int toMs) {
    const size_t mark = FrameCount();
    action();
    const size_t first = mark + static_cast<size_t>(kRate * fromMs / 1000);
    const size_t last = mark + static_cast<size_t>(kRate * toMs / 1000);
    EXPECT_TRUE(WaitForFrames(last)) << "the mix stopped growing";
    return Peak(first, last);
}

void SoundCapture::BreakDevice() { std::filesystem::remove_all(deviceDir_); }

void SoundCapture::RepairDevice() { std::filesystem::create_directories(deviceDir_); }
