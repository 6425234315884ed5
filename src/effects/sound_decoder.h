#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

// Music and every other non-WAV sound is decoded whole into memory when it is loaded,
// so playing it never touches the disk again.
struct DecodedSound {
    int channels = 0;  // 1 or 2; files with more channels are folded down to stereo
    int sampleRate = 0;
    std::vector<int16_t> samples;  // interleaved
};

// The longest piece decoded, so a broken or hostile header cannot make us allocate
// without bound.
constexpr int64_t kMaxDecodedSeconds = 20 * 60;

// Reads any file libsndfile understands (Ogg Vorbis, FLAC, AIFF, ...). Nothing when the
// file cannot be read, holds no samples, or runs longer than kMaxDecodedSeconds.
std::optional<DecodedSound> DecodeSoundFile(const std::string& fileName);
