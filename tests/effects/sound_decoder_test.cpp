#include "effects/sound_decoder.h"

#include <gtest/gtest.h>
#include <sndfile.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "sound_test_files.h"
#include "support/temp_dir.h"

namespace {

int Peak(const DecodedSound& sound) {
    int peak = 0;
    for (int16_t sample : sound.samples) peak = std::max(peak, std::abs(static_cast<int>(sample)));
    return peak;
}

class SoundDecoderTest : public ::testing::Test {
protected:
    std::string Write(const std::string& name, int format, const ToneSpec& tone) {
        std::string path = dir_.File(name);
        EXPECT_TRUE(WriteToneFile(path, format, tone)) << "libsndfile could not write " << name;
        return path;
    }

    TempDir dir_;
};

TEST_F(SoundDecoderTest, OggVorbisDecodesWholeIntoMemory) {
    ToneSpec tone;
    std::string path = Write("tone.ogg", SF_FORMAT_OGG | SF_FORMAT_VORBIS, tone);

    auto sound = DecodeSoundFile(path);

    ASSERT_TRUE(sound) << "an Ogg Vorbis file must decode";
    EXPECT_EQ(sound->channels, 1);
    EXPECT_EQ(sound->sampleRate, tone.rate);
    EXPECT_NEAR(static_cast<double>(sound->samples.size()), tone.rate * tone.seconds, tone.rate * 0.01)
        << "the whole second of music is decoded";
    EXPECT_NEAR(Peak(*sound), 0.5 * 32767, 0.05 * 32767) << "the tone keeps its loudness";
}

TEST_F(SoundDecoderTest, FlacDecodesSampleForSampleAndSurroundFoldsToStereo) {
    struct Case {
        const char* rule;
        int channels, rate;
        double seconds;
    };
    const Case cases[] = {{"lossless stereo: every frame comes back", 2, 44100, 0.25},
                          {"four equal channels average to the same stereo tone", 4, 22050, 0.1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rule);
        ToneSpec tone;
        tone.channels = c.channels;
        tone.rate = c.rate;
        tone.seconds = c.seconds;
        auto sound = DecodeSoundFile(Write("tone.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_16, tone));
        ASSERT_TRUE(sound) << "a FLAC file must decode";
        EXPECT_EQ(sound->channels, 2);
        EXPECT_EQ(sound->sampleRate, c.rate);
        EXPECT_EQ(sound->samples.size(), static_cast<size_t>(c.rate * c.seconds) * 2);
        EXPECT_NEAR(Peak(*sound), 0.5 * 32767, 2);
    }
}

TEST_F(SoundDecoderTest, UnreadableFilesDecodeToNothing) {
    EXPECT_FALSE(DecodeSoundFile(dir_.File("missing.ogg"))) << "a missing file";

    dir_.Write("noise.ogg", "OggS this is not really an Ogg stream at all");
    EXPECT_FALSE(DecodeSoundFile(dir_.File("noise.ogg"))) << "a file that is no sound";

    dir_.Write("empty.ogg", "");
    EXPECT_FALSE(DecodeSoundFile(dir_.File("empty.ogg"))) << "an empty file";

    ToneSpec silence;
    silence.seconds = 0;
    std::string path = Write("nothing.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_16, silence);
    EXPECT_FALSE(DecodeSoundFile(path)) << "a sound file without samples";

    path = Write("tone.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_16, ToneSpec{});
    std::filesystem::resize_file(path, std::filesystem::file_size(path) / 2);
    EXPECT_FALSE(DecodeSoundFile(path)) << "half a file must not play as if it were whole";
}

TEST_F(SoundDecoderTest, FilesDecodingPastTheLimitAreRefused) {
    ToneSpec tone;
    tone.channels = 2;
    tone.seconds = 0.1;
    std::string path = Write("long.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_16, tone);
    const int64_t samples = static_cast<int64_t>(tone.rate * tone.seconds) * 2;

    EXPECT_TRUE(DecodeSoundFile(path, samples)) << "exactly at the limit";
    EXPECT_FALSE(DecodeSoundFile(path, samples - 2)) << "one frame past the limit";
}

}  // namespace
