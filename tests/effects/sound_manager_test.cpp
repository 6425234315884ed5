#include "effects/sound_manager.h"

#include <gtest/gtest.h>

#include "base/ini_file.h"
#include "sound_capture.h"
#include "sound_test_files.h"
#include "support/report_capture.h"
#include "support/temp_dir.h"

namespace {

// The mixer output is exactly zero without sound (float samples, no dither).
constexpr float kSilent = 1e-4f;
constexpr float kAudible = 0.05f;

class SoundManagerTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetSoundVolume(1.0f);
        SetMusicVolume(1.0f);
    }

    void TearDown() override {
        SoundShutdown();
        capture_.RepairDevice();
    }

    void StartSound() {
        ASSERT_TRUE(SoundInit()) << log_.Joined();
        ASSERT_TRUE(capture_.WaitForFrames(1)) << "the wave backend writes nothing";
    }

    std::string Tone(const std::string& name, int format = kWavFormat) {
        std::string path = dir_.File(name);
        EXPECT_TRUE(WriteToneFile(path, format)) << "libsndfile could not write " << name;
        return path;
    }

    // The loudest sample mixed well inside the one-second tone.
    float PeakWhilePlaying(int handle) {
        float peak = capture_.PeakAfter([handle] { PlaySound(handle, false); }, 150, 350);
        StopSound(handle);
        return peak;
    }

    float PeakOfQuiet() {
        return capture_.PeakAfter([] {}, 150, 350);
    }

    SoundCapture& capture_ = SoundCapture::Instance();
    ReportCapture log_;
    TempDir dir_;
};

TEST_F(SoundManagerTest, WavEffectsAndOggMusicAreHeardOnlyWhilePlaying) {
    StartSound();
    int wav = LoadSound(Tone("shot.wav"));
    int ogg = LoadSound(Tone("theme.ogg", kOggFormat));
    ASSERT_NE(wav, 0) << log_.Joined();
    ASSERT_NE(ogg, 0) << log_.Joined();

    EXPECT_LT(PeakOfQuiet(), kSilent) << "nothing may be heard before PlaySound";
    EXPECT_GT(PeakWhilePlaying(wav), kAudible) << "PlaySound must make a WAV effect heard";
    EXPECT_GT(PeakWhilePlaying(ogg), kAudible) << "Ogg Vorbis music must be heard";
    EXPECT_LT(PeakOfQuiet(), kSilent) << "StopSound must silence them";
}

TEST_F(SoundManagerTest, HandlesKeepTheirNumbersAndTheTableShrinksFromTheEnd) {
    StartSound();
    std::string file = Tone("shot.wav");
    int first = LoadSound(file);
    int second = LoadSound(file);
    int third = LoadSound(file);
    ASSERT_EQ(first, 1) << "handle 0 is the placeholder, so the first sound is 1";
    ASSERT_EQ(third, 3);

    int copyOfSecond = second;
    UnloadSound(second);
    EXPECT_EQ(second, 0) << "unloading clears the caller's handle";
    UnloadSound(copyOfSecond);  // already released: nothing to do
    int none = 0, pastTheTable = 99;
    UnloadSound(none);
    UnloadSound(pastTheTable);
    PlaySound(0, true);
    PlaySound(99, false);
    EXPECT_GT(PeakWhilePlaying(third), kAudible) << "a hole in the middle leaves later handles valid";
    int fourth = LoadSound(file);
    EXPECT_EQ(fourth, 4) << "new sounds are appended, holes are not filled";

    UnloadSound(fourth);
    UnloadSound(third);
    EXPECT_EQ(LoadSound(file), 2) << "free entries at the end are dropped, down to the last sound in use";
}

TEST_F(SoundManagerTest, OneWavFileIsDecodedOnceAndFreedWithItsLastSound) {
    StartSound();
    std::string file = Tone("SHOT.WAV");  // the ending is compared without case
    int first = LoadSound(file);
    int second = LoadSound(file);
    ASSERT_NE(first, 0);
    EXPECT_NE(first, second) << "every load is a sound of its own";
    EXPECT_EQ(log_.Count("Loading sound " + file), 1) << "the second sound shares the first one's buffer";

    UnloadSound(first);
    EXPECT_GT(PeakWhilePlaying(second), kAudible) << "the shared buffer lives while a sound uses it";
    UnloadSound(second);
    LoadSound(file);
    EXPECT_EQ(log_.Count("Loading sound " + file), 2) << "the buffer went with its last sound";
}

TEST_F(SoundManagerTest, MissingAndBrokenFilesGiveErrorsAndNoHandle) {
    StartSound();
    dir_.Write("broken.wav", "RIFF and then nothing that makes a wave");
    dir_.Write("broken.ogg", "OggS and then nothing that makes music");

    EXPECT_EQ(LoadSound(dir_.File("missing.wav")), 0);
    EXPECT_EQ(LoadSound(dir_.File("broken.wav")), 0);
    EXPECT_EQ(LoadSound(dir_.File("broken.ogg")), 0);
    EXPECT_TRUE(log_.Contains("File does not exist: " + dir_.File("missing.wav"))) << log_.Joined();
    EXPECT_NE(log_.Joined().find("snd E alutLoadWAVFile " + dir_.File("broken.wav") + " : "), std::string::npos)
        << log_.Joined();
    EXPECT_TRUE(log_.Contains("Could not load: ")) << log_.Joined();
    EXPECT_EQ(LoadSound(Tone("good.wav")), 1) << "failed loads take no handle";
}

TEST_F(SoundManagerTest, InitAndShutdownMayBeRepeated) {
    EXPECT_TRUE(SoundInit());
    std::string file = Tone("shot.wav");
    int handle = LoadSound(file);
    EXPECT_TRUE(SoundInit()) << "a second init succeeds";
    EXPECT_EQ(log_.Count("Sound manager is initialized"), 1) << "and opens nothing new";
    ASSERT_TRUE(capture_.WaitForFrames(1));
    EXPECT_GT(PeakWhilePlaying(handle), kAudible) << "sounds survive the second init";

    SoundShutdown();
    SoundShutdown();
    EXPECT_EQ(log_.Count("Sound manager is destroyed"), 1) << "a second shutdown finds nothing to do";
    PlaySound(handle, false);  // after shutdown: nothing to play, nothing to crash

    EXPECT_TRUE(SoundInit());
    EXPECT_EQ(LoadSound(file), 1) << "a later init starts from scratch";
    EXPECT_EQ(log_.Count("Loading sound " + file), 2) << "buffers do not outlive a shutdown";
}

TEST_F(SoundManagerTest, WithoutADeviceInitFailsWithAnErrorAndNothingBreaks) {
    capture_.BreakDevice();
    std::string file = Tone("shot.wav");

    EXPECT_FALSE(SoundInit());
    ASSERT_FALSE(log_.Lines().empty());
    EXPECT_EQ(log_.Lines().back().rfind("snd E Failed to Initialize Open AL", 0), 0u) << log_.Joined();
    EXPECT_EQ(LoadSound(file), 0) << "nothing loads without a device";
    int handle = 1;
    PlaySound(handle, false);
    StopSound(handle);
    UnloadSound(handle);
    UpdatePositions();
    SetSoundVolume(0.5f);
    EXPECT_FLOAT_EQ(GetSoundVolume(), 0.5f) << "volumes are kept for when sound works";

    capture_.RepairDevice();
    EXPECT_TRUE(SoundInit()) << "a later init may still succeed";
}

TEST_F(SoundManagerTest, SoundsSectionGivesInterfaceSoundsAndVolumes) {
    StartSound();
    IniFile config;
    config.Parse("[sounds]\nmouseover=" + Tone("over.wav") + "\nmouseclick=" + Tone("click.wav") +
                 "\nsound_volume=40\nmusic_volume=30\n");
    ReadSoundConfig(config);
    EXPECT_NE(MouseOverSound(), 0);
    EXPECT_NE(MouseClickSound(), 0);
    EXPECT_NE(MouseOverSound(), MouseClickSound());
    EXPECT_FLOAT_EQ(GetSoundVolume(), 0.4f) << "volumes are percentages";
    EXPECT_FLOAT_EQ(GetMusicVolume(), 0.3f);

    IniFile noKeys;
    noKeys.Parse("[sounds]\n");
    ReadSoundConfig(noKeys);
    EXPECT_EQ(log_.Count("File does not exist: "), 2) << log_.Joined();
    EXPECT_EQ(MouseOverSound(), 0);
    EXPECT_FLOAT_EQ(GetMusicVolume(), 0.3f) << "a missing volume key leaves the volume";

    ReadSoundConfig(config);
    ASSERT_NE(MouseOverSound(), 0);
    SoundShutdown();
    EXPECT_EQ(MouseOverSound(), 0) << "shutdown forgets them: their handles would name other sounds after a new init";
    EXPECT_EQ(MouseClickSound(), 0);
}

}  // namespace
