#include "effects/sound_decoder.h"

#include <sndfile.h>

#include <algorithm>
#include <cmath>
#include <memory>

namespace {

constexpr int kMaxSampleRate = 384000;
constexpr int kMaxChannels = 256;
constexpr sf_count_t kFramesPerRead = 4096;

struct SndFileCloser {
    void operator()(SNDFILE* file) const { sf_close(file); }
};
using SndFilePtr = std::unique_ptr<SNDFILE, SndFileCloser>;

int16_t ToSample(float value) {
    float scaled = std::round(std::clamp(value, -1.0f, 1.0f) * 32767.0f);
    return static_cast<int16_t>(scaled);
}

// Even channels go left and odd channels right, each side averaged, so a surround
// file still plays as a balanced stereo mix.
void AppendFrames(const std::vector<float>& frames, sf_count_t frameCount, int fileChannels, DecodedSound& sound) {
    for (sf_count_t frame = 0; frame < frameCount; ++frame) {
        const float* in = &frames[static_cast<size_t>(frame * fileChannels)];
        if (fileChannels <= 2) {
            for (int channel = 0; channel < fileChannels; ++channel) sound.samples.push_back(ToSample(in[channel]));
            continue;
        }
        float left = 0, right = 0;
        for (int channel = 0; channel < fileChannels; ++channel) (channel % 2 == 0 ? left : right) += in[channel];
        int leftCount = (fileChannels + 1) / 2;
        int rightCount = fileChannels / 2;
        sound.samples.push_back(ToSample(left / static_cast<float>(leftCount)));
        sound.samples.push_back(ToSample(right / static_cast<float>(rightCount)));
    }
}

}  // namespace

std::optional<DecodedSound> DecodeSoundFile(const std::string& fileName, int64_t maxSamples) {
    SF_INFO info{};
    SndFilePtr file(sf_open(fileName.c_str(), SFM_READ, &info));
    if (!file) return std::nullopt;
    if (info.channels < 1 || info.channels > kMaxChannels) return std::nullopt;
    if (info.samplerate < 1 || info.samplerate > kMaxSampleRate) return std::nullopt;

    DecodedSound sound;
    sound.channels = std::min(info.channels, 2);
    sound.sampleRate = info.samplerate;
    const sf_count_t maxFrames = maxSamples / sound.channels;
    // The announced length is only a hint: it decides the reservation, never the reading.
    if (info.frames > 0 && info.frames <= maxFrames)
        sound.samples.reserve(static_cast<size_t>(info.frames) * static_cast<size_t>(sound.channels));

    std::vector<float> frames(static_cast<size_t>(kFramesPerRead * info.channels));
    sf_count_t decodedFrames = 0;
    for (;;) {
        sf_count_t read = sf_readf_float(file.get(), frames.data(), kFramesPerRead);
        if (read <= 0) break;
        decodedFrames += read;
        if (decodedFrames > maxFrames) return std::nullopt;
        AppendFrames(frames, read, info.channels, sound);
    }
    // A file that breaks off half way is refused rather than played in part.
    if (sf_error(file.get()) != SF_ERR_NO_ERROR || sound.samples.empty()) return std::nullopt;
    return sound;
}
