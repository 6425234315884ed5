#include "effects/sound_manager.h"

#include <gtest/gtest.h>

#include "base/ini_file.h"
#include "sound_capture.h"
#include "sound_test_files.h"
#include "support/report_capture.h"
#include "support/temp_dir.h"

namespace {

class SoundManagerTest : public ::testing::Test {
protected:
    void TearDown() override {
        sound_.Shutdown();
        capture_.RepairDevice();
    }

    void StartSound() {
        ASSERT_TRUE(sound_.Init()) << log_.Joined();
        ASSERT_TRUE(capture_.WaitForFrames(1)) << "the wave backend writes nothing";
    }

    std::string Tone(const std::string& name, int format = kWavFormat) {
        std::string path = dir_.File(name);
        EXPECT_TRUE(WriteToneFile(path, format)) << "libsndfile could not write " << name;
        return path;
    }

    // The loudest sample mixed well inside the one-second tone.
    float PeakWhilePlaying(int handle) {
        float peak = capture_.PeakAfter([this, handle] { sound_.PlaySound(handle, false); }, 150, 350);
        sound_.StopSound(handle);
        return peak;
    }

    float PeakOfQuiet() {
        return capture_.PeakAfter([] {}, 150, 350);
    }

    SoundCapture& capture_ = SoundCapture::Instance();
    ReportCapture log_;
    TempDir dir_;
    SoundManager sound_;
};

TEST_F(SoundManagerTest, WavEffectsAndOggMusicAreHeardOnlyWhilePlaying) {
    StartSound();
    int wav = sound_.LoadSound(Tone("shot.wav"));
    int ogg = sound_.LoadSound(Tone("theme.ogg", kOggFormat));
    ASSERT_NE(wav, 0) << log_.Joined();
    ASSERT_NE(ogg, 0) << log_.Joined();

    EXPECT_LT(PeakOfQuiet(), kSilent) << "nothing may be heard before PlaySound";
    EXPECT_GT(PeakWhilePlaying(wav), kAudible) << "PlaySound must make a WAV effect heard";
    EXPECT_GT(PeakWhilePlaying(ogg), kAudible) << "Ogg Vorbis music must be heard";
    EXPECT_LT(PeakOfQuiet(), kSilent) << "StopSound must silence them";
}

// Sounds of one file share its buffer: unloading the sound that loaded it leaves it to the others.
TEST_F(SoundManagerTest, HandlesKeepTheirNumbersAndOneFilesBufferLivesUntilItsLastSound) {
    StartSound();
    std::string file = Tone("SHOT.WAV");  // the ending is compared without case
    int first = sound_.LoadSound(file);
    int second = sound_.LoadSound(file);
    int third = sound_.LoadSound(file);
    ASSERT_EQ(first, 1) << "handle 0 is the placeholder, so the first sound is 1";
    ASSERT_EQ(third, 3) << "every load is a sound of its own";
    EXPECT_EQ(log_.Count("Loading sound " + file), 1) << "the later sounds share the first one's buffer";

    int copyOfFirst = first;
    sound_.UnloadSound(first);
    EXPECT_EQ(first, 0) << "unloading clears the caller's handle";
    sound_.UnloadSound(copyOfFirst);  // already released: nothing to do
    int none = 0, pastTheTable = 99;
    sound_.UnloadSound(none);
    sound_.UnloadSound(pastTheTable);
    sound_.PlaySound(0, true);
    sound_.PlaySound(99, false);
    EXPECT_GT(PeakWhilePlaying(third), kAudible) << "a hole leaves later handles and the shared buffer valid";
    int fourth = sound_.LoadSound(file);
    EXPECT_EQ(fourth, 4) << "new sounds are appended, holes are not filled";

    sound_.UnloadSound(fourth);
    sound_.UnloadSound(third);
    int fifth = sound_.LoadSound(file);
    EXPECT_EQ(fifth, 3) << "free entries at the end are dropped, down to the last sound in use";
    sound_.UnloadSound(second);
    sound_.UnloadSound(fifth);
    sound_.LoadSound(file);
    EXPECT_EQ(log_.Count("Loading sound " + file), 2) << "the buffer went with its last sound";
}

TEST_F(SoundManagerTest, MissingAndBrokenFilesGiveErrorsAndNoHandle) {
    StartSound();
    dir_.Write("broken.wav", "RIFF and then nothing that makes a wave");
    dir_.Write("broken.ogg", "OggS and then nothing that makes music");

    for (const char* name : {"missing.wav", "broken.wav", "broken.ogg"})
        EXPECT_EQ(sound_.LoadSound(dir_.File(name)), 0);
    EXPECT_TRUE(log_.Contains("File does not exist: " + dir_.File("missing.wav"))) << log_.Joined();
    EXPECT_NE(log_.Joined().find("snd E alutLoadWAVFile " + dir_.File("broken.wav") + " : "), std::string::npos)
        << log_.Joined();
    EXPECT_EQ(sound_.LoadSound(Tone("good.wav")), 1) << "failed loads take no handle";
}

TEST_F(SoundManagerTest, InitAndShutdownMayBeRepeated) {
    EXPECT_TRUE(sound_.Init());
    std::string file = Tone("shot.wav");
    int handle = sound_.LoadSound(file);
    EXPECT_TRUE(sound_.Init()) << "a second init succeeds";
    ASSERT_TRUE(capture_.WaitForFrames(1));
    EXPECT_GT(PeakWhilePlaying(handle), kAudible) << "sounds survive the second init: it opens nothing new";

    sound_.Shutdown();
    sound_.Shutdown();
    sound_.PlaySound(handle, false);  // after shutdown: nothing to play, nothing to crash

    EXPECT_TRUE(sound_.Init());
    EXPECT_EQ(sound_.LoadSound(file), 1) << "a later init starts from scratch";
    EXPECT_EQ(log_.Count("Loading sound " + file), 2) << "buffers do not outlive a shutdown";
}

TEST_F(SoundManagerTest, WithoutADeviceInitFailsAndNothingBreaks) {
    capture_.BreakDevice();
    std::string file = Tone("shot.wav");

    EXPECT_FALSE(sound_.Init());
    EXPECT_EQ(sound_.LoadSound(file), 0) << "nothing loads without a device";
    int handle = 1;
    sound_.PlaySound(handle, false);
    sound_.StopSound(handle);
    sound_.UnloadSound(handle);
    sound_.UpdatePositions();

    capture_.RepairDevice();
    EXPECT_TRUE(sound_.Init()) << "a later init may still succeed";
}

TEST_F(SoundManagerTest, SoundsSectionGivesInterfaceSoundsAndVolumes) {
    StartSound();
    IniFile config;
    config.Parse("[sounds]\nmouseover=" + Tone("over.wav") + "\nmouseclick=" + Tone("click.wav") +
                 "\nsound_volume=40\nmusic_volume=30\n");
    sound_.ReadSoundConfig(config);
    EXPECT_NE(sound_.MouseOverSound(), 0);
    EXPECT_NE(sound_.MouseClickSound(), 0);
    EXPECT_FLOAT_EQ(sound_.GetSoundVolume(), 0.4f) << "volumes are percentages";
    EXPECT_FLOAT_EQ(sound_.GetMusicVolume(), 0.3f);

    IniFile noKeys;
    noKeys.Parse("[sounds]\n");
    sound_.ReadSoundConfig(noKeys);
    EXPECT_EQ(sound_.MouseOverSound(), 0);
    EXPECT_FLOAT_EQ(sound_.GetMusicVolume(), 0.3f) << "a missing volume key leaves the volume";

    sound_.ReadSoundConfig(config);
    ASSERT_NE(sound_.MouseOverSound(), 0);
    sound_.Shutdown();
    EXPECT_EQ(sound_.MouseOverSound(), 0)
        << "shutdown forgets them: their handles would name other sounds after a new init";
}

}  // namespace
