#pragma once

#include <string>

// Test sounds: a 440 Hz sine tone at the given amplitude (0 to 1).
struct ToneSpec {
    int channels = 1;
    int rate = 22050;
    double seconds = 1.0;
    double amplitude = 0.5;
};

// The bytes of a 16-bit PCM WAV file, built by hand.
std::string ToneWav(const ToneSpec& tone);
// The tone written by libsndfile in the given major and minor format (for example
// SF_FORMAT_OGG | SF_FORMAT_VORBIS); false when libsndfile refused it.
bool WriteToneFile(const std::string& path, int format, const ToneSpec& tone);
