#include "sound_test_files.h"

#include <cmath>
#include <vector>

bool WriteToneFile(const std::string& path, int format, const ToneSpec& tone) {
    constexpr double kToneHz = 440.0;
    constexpr double kPi = 3.14159265358979323846;
    const int frames = static_cast<int>(tone.rate * tone.seconds);
    std::vector<float> samples;
    for (int frame = 0; frame < frames; ++frame)
        samples.insert(samples.end(), static_cast<size_t>(tone.channels),
                       static_cast<float>(0.5 * std::sin(2 * kPi * kToneHz * frame / tone.rate)));
    SF_INFO info{};
    info.samplerate = tone.rate;
    info.channels = tone.channels;
    info.format = format;
    SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
    if (file == nullptr) return false;
    bool written = sf_writef_float(file, samples.data(), frames) == frames;
    return sf_close(file) == 0 && written;
}
