#include "sound_capture.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <thread>

#include <stdlib.h>

#include <gtest/gtest.h>

#include "app/clock.h"

namespace {

constexpr int64_t kWaitLimitMs = 5000;
constexpr size_t kRiffHeaderSize = 12;
constexpr size_t kChunkHeaderSize = 8;
constexpr size_t kHeaderReadSize = 1024;

uint32_t ReadLe32(const std::string& bytes, size_t at) {
    uint32_t value = 0;
    for (int i = 3; i >= 0; --i) value = value << 8 | static_cast<unsigned char>(bytes[at + static_cast<size_t>(i)]);
    return value;
}

uint16_t ReadLe16(const std::string& bytes, size_t at) {
    return static_cast<uint16_t>(static_cast<unsigned char>(bytes[at]) | static_cast<unsigned char>(bytes[at + 1]) << 8);
}

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
// closes, so the samples run from the data chunk to the end of what is on disk.
SoundCapture::Layout SoundCapture::ReadLayout() {
    std::ifstream in(file_, std::ios::binary);
    std::string bytes(kHeaderReadSize, '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<size_t>(in.gcount()));
    if (bytes.size() < kRiffHeaderSize || bytes.compare(0, 4, "RIFF") != 0) return Layout{};
    Layout layout;
    int bits = 0;
    size_t at = kRiffHeaderSize;
    while (at + kChunkHeaderSize <= bytes.size()) {
        std::string id = bytes.substr(at, 4);
        size_t size = ReadLe32(bytes, at + 4);
        size_t body = at + kChunkHeaderSize;
        if (id == "fmt " && body + 16 <= bytes.size()) {
            layout.channels = ReadLe16(bytes, body + 2);
            bits = ReadLe16(bytes, body + 14);
        }
        if (id == "data") {
            if (bits != 32 || layout.channels == 0) return Layout{};
            layout.dataOffset = body;
            return layout;
        }
        at = body + size;
    }
    return Layout{};
}

std::vector<float> SoundCapture::ReadFrames(const Layout& layout, size_t first, size_t last) {
    const size_t channels = static_cast<size_t>(layout.channels);
    std::vector<float> samples((last - first) * channels);
    std::ifstream in(file_, std::ios::binary);
    in.seekg(static_cast<std::streamoff>(layout.dataOffset + first * channels * sizeof(float)));
    in.read(reinterpret_cast<char*>(samples.data()), static_cast<std::streamsize>(samples.size() * sizeof(float)));
    samples.resize(static_cast<size_t>(in.gcount()) / sizeof(float));
    return samples;
}

int SoundCapture::Channels() { return ReadLayout().channels; }

size_t SoundCapture::FrameCount() {
    Layout layout = ReadLayout();
    if (layout.channels == 0) return 0;
    std::error_code error;
    size_t size = std::filesystem::file_size(file_, error);
    if (error || size < layout.dataOffset) return 0;
    return (size - layout.dataOffset) / (static_cast<size_t>(layout.channels) * sizeof(float));
}

bool SoundCapture::WaitForFrames(size_t frameCount) {
    const int64_t deadline = NowMs() + kWaitLimitMs;
    while (FrameCount() < frameCount) {
        if (NowMs() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

float SoundCapture::Peak(size_t first, size_t last, int channel) {
    Layout layout = ReadLayout();
    if (layout.channels == 0 || last <= first) return 0;
    std::vector<float> samples = ReadFrames(layout, first, last);
    float peak = 0;
    for (size_t at = static_cast<size_t>(channel); at < samples.size(); at += static_cast<size_t>(layout.channels))
        peak = std::max(peak, std::fabs(samples[at]));
    return peak;
}

float SoundCapture::Peak(size_t first, size_t last) {
    float peak = 0;
    for (int channel = 0; channel < Channels(); ++channel) peak = std::max(peak, Peak(first, last, channel));
    return peak;
}

void SoundCapture::BreakDevice() { std::filesystem::remove_all(deviceDir_); }

void SoundCapture::RepairDevice() { std::filesystem::create_directories(deviceDir_); }
