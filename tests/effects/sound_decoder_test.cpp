#include "effects/sound_decoder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "sound_test_files.h"
#include "support/temp_dir.h"

namespace {

class SoundDecoderTest : public ::testing::Test {
protected:
    std::string Write(const std::string& name, int format, const ToneSpec& tone) {
        std::string path = dir_.File(name);
        EXPECT_TRUE(WriteToneFile(path, format, tone)) << "libsndfile could not write " << name;
        return path;
    }

    TempDir dir_;
};

TEST_F(SoundDecoderTest, WholeFileDecodesIntoMemoryAndSurroundFoldsToStereo) {
    const ToneSpec surround{4, 22050, 0.1};
    auto sound = DecodeSoundFile(Write("tone.flac", kFlacFormat, surround));
    ASSERT_TRUE(sound) << "a FLAC file must decode";
    EXPECT_EQ(sound->channels, 2) << "four equal channels average to the same stereo tone";
    EXPECT_EQ(sound->sampleRate, 22050);
    EXPECT_EQ(sound->samples.size(), 2205u * 2) << "every frame comes back";
    int peak = 0;
    for (int16_t sample : sound->samples) peak = std::max(peak, std::abs(static_cast<int>(sample)));
    EXPECT_NEAR(peak, 0.5 * 32767, 2) << "the tone keeps its loudness";
}

TEST_F(SoundDecoderTest, UnreadableOrOversizedFilesDecodeToNothing) {
    dir_.Write("noise.ogg", "OggS this is not really an Ogg stream at all");
    EXPECT_FALSE(DecodeSoundFile(dir_.File("noise.ogg"))) << "a file that is no sound";
    EXPECT_FALSE(DecodeSoundFile(Write("nothing.flac", kFlacFormat, ToneSpec{1, 22050, 0}))) << "no samples";

    std::string half = Write("half.flac", kFlacFormat, ToneSpec{});
    std::filesystem::resize_file(half, std::filesystem::file_size(half) / 2);
    EXPECT_FALSE(DecodeSoundFile(half)) << "half a file must not play as if it were whole";

    const std::string path = Write("long.flac", kFlacFormat, ToneSpec{2, 22050, 0.1});
    EXPECT_TRUE(DecodeSoundFile(path, 2205 * 2)) << "exactly at the sample limit";
    EXPECT_FALSE(DecodeSoundFile(path, 2205 * 2 - 2)) << "one frame past the limit";
}

}  // namespace
