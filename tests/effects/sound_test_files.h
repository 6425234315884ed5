#pragma once

#include <sndfile.h>

#include <string>

// Test sounds: a 440 Hz sine tone at half loudness.
struct ToneSpec {
    int channels = 1;
    int rate = 22050;
    double seconds = 1.0;
};

constexpr int kWavFormat = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
constexpr int kOggFormat = SF_FORMAT_OGG | SF_FORMAT_VORBIS;
constexpr int kFlacFormat = SF_FORMAT_FLAC | SF_FORMAT_PCM_16;

// The tone written by libsndfile in the given format; false when libsndfile refused it.
bool WriteToneFile(const std::string& path, int format, const ToneSpec& tone = ToneSpec{});
