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

// The most samples one file may decode to (twenty minutes of 48 kHz stereo), so a small
// file that expands without end cannot take all memory.
constexpr int64_t kMaxDecodedSamples = int64_t{48000} * 2 * 20 * 60;

// Reads any file libsndfile understands (Ogg Vorbis, FLAC, AIFF, ...). Nothing when the
// file cannot be read, breaks off, holds no samples or decodes to more than maxSamples.
std::optional<DecodedSound> DecodeSoundFile(const std::string& fileName, int64_t maxSamples = kMaxDecodedSamples);
