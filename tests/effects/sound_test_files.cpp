#include "sound_test_files.h"

#include <sndfile.h>

#include <cmath>
#include <cstdint>
#include <vector>

namespace {

constexpr double kToneHz = 440.0;
constexpr double kPi = 3.14159265358979323846;

std::vector<float> ToneSamples(const ToneSpec& tone) {
    const int frames = static_cast<int>(tone.rate * tone.seconds);
    std::vector<float> samples;
    for (int frame = 0; frame < frames; ++frame) {
        float value = static_cast<float>(tone.amplitude * std::sin(2 * kPi * kToneHz * frame / tone.rate));
        for (int channel = 0; channel < tone.channels; ++channel) samples.push_back(value);
    }
    return samples;
}

void AppendLe(std::string& bytes, uint32_t value, int size) {
    for (int i = 0; i < size; ++i) bytes.push_back(static_cast<char>(value >> (8 * i) & 0xff));
}

}  // namespace

std::string ToneWav(const ToneSpec& tone) {
    std::vector<float> samples = ToneSamples(tone);
    const uint32_t dataSize = static_cast<uint32_t>(samples.size() * 2);
    const uint32_t blockAlign = static_cast<uint32_t>(tone.channels * 2);
    std::string bytes = "RIFF";
    AppendLe(bytes, 36 + dataSize, 4);
    bytes += "WAVEfmt ";
    AppendLe(bytes, 16, 4);
    AppendLe(bytes, 1, 2);  // PCM
    AppendLe(bytes, static_cast<uint32_t>(tone.channels), 2);
    AppendLe(bytes, static_cast<uint32_t>(tone.rate), 4);
    AppendLe(bytes, static_cast<uint32_t>(tone.rate) * blockAlign, 4);
    AppendLe(bytes, blockAlign, 2);
    AppendLe(bytes, 16, 2);
    bytes += "data";
    AppendLe(bytes, dataSize, 4);
    for (float sample : samples) AppendLe(bytes, static_cast<uint16_t>(static_cast<int16_t>(std::lround(sample * 32767))), 2);
    return bytes;
}

bool WriteToneFile(const std::string& path, int format, const ToneSpec& tone) {
    SF_INFO info{};
    info.samplerate = tone.rate;
    info.channels = tone.channels;
    info.format = format;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (file == nullptr) return false;
    std::vector<float> samples = ToneSamples(tone);
    sf_count_t frames = static_cast<sf_count_t>(samples.size()) / tone.channels;
    bool written = sf_writef_float(file, samples.data(), frames) == frames;
    return sf_close(file) == 0 && written;
}
