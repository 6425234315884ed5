#include "effects/sound_manager.h"

#include <gtest/gtest.h>
#include <sndfile.h>

#include <functional>
#include <limits>
#include <thread>
#include <vector>

#include "app/config.h"
#include "app/ini_file.h"
#include "sound_capture.h"
#include "sound_test_files.h"
#include "support/report_capture.h"
#include "support/temp_dir.h"

namespace {

// The mixer output is exactly zero without sound (float samples, no dither).
constexpr float kSilent = 1e-4f;
constexpr float kAudible = 0.05f;
// Bytes mixed just before a call may reach the file just after it, so each measurement
// starts a little after the call and looks at a stretch well inside the one-second tone.
constexpr size_t kSettleFrames = SoundCapture::kRate * 3 / 20;
constexpr size_t kWindowFrames = SoundCapture::kRate / 5;

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

    std::string WriteWav(const std::string& name, const ToneSpec& tone = ToneSpec{}) {
        dir_.Write(name, ToneWav(tone));
        return dir_.File(name);
    }

    std::string WriteMusic(const std::string& name, int format, const ToneSpec& tone = ToneSpec{}) {
        std::string path = dir_.File(name);
        EXPECT_TRUE(WriteToneFile(path, format, tone)) << "libsndfile could not write " << name;
        return path;
    }

    // The loudest sample of one channel (or of all, for -1) mixed shortly after action.
    float PeakAfter(const std::function<void()>& action, int channel = -1) {
        size_t mark = capture_.FrameCount();
        action();
        size_t first = mark + kSettleFrames;
        size_t last = first + kWindowFrames;
        EXPECT_TRUE(capture_.WaitForFrames(last)) << "the mix stopped growing";
        return channel < 0 ? capture_.Peak(first, last) : capture_.Peak(first, last, channel);
    }

    float PeakWhilePlaying(int handle, int channel = -1) {
        float peak = PeakAfter([handle] { PlaySound(handle, false); }, channel);
        StopSound(handle);
        return peak;
    }

    float PeakOfQuiet() {
        return PeakAfter([] {});
    }

    SoundCapture& capture_ = SoundCapture::Instance();
    ReportCapture log_;
    TempDir dir_;
};

TEST_F(SoundManagerTest, WavEffectsAndOggAndFlacMusicAreHeardOnlyWhilePlaying) {
    StartSound();
    int wav = LoadSound(WriteWav("shot.wav"));
    int ogg = LoadSound(WriteMusic("theme.ogg", SF_FORMAT_OGG | SF_FORMAT_VORBIS));
    int flac = LoadSound(WriteMusic("theme.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_16));
    ASSERT_NE(wav, 0) << log_.Joined();
    ASSERT_NE(ogg, 0) << log_.Joined();
    ASSERT_NE(flac, 0) << log_.Joined();

    EXPECT_LT(PeakOfQuiet(), kSilent) << "nothing may be heard before PlaySound";
    EXPECT_GT(PeakWhilePlaying(wav), kAudible) << "PlaySound must make a WAV effect heard";
    EXPECT_GT(PeakWhilePlaying(ogg), kAudible) << "Ogg Vorbis music must be heard";
    EXPECT_GT(PeakWhilePlaying(flac), kAudible) << "FLAC music must be heard";
    EXPECT_LT(PeakOfQuiet(), kSilent) << "StopSound must silence them";
}

TEST_F(SoundManagerTest, LoopingMusicRepeatsUntilStopped) {
    StartSound();
    ToneSpec shortTone;
    shortTone.seconds = 0.05;
    int music = LoadSound(WriteMusic("loop.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_16, shortTone));
    ASSERT_NE(music, 0) << log_.Joined();

    EXPECT_GT(PeakAfter([music] { PlaySound(music, true); }), kAudible)
        << "a 50 ms piece played with repeat must still be heard after 100 ms";
    StopSound(music);
    EXPECT_LT(PeakOfQuiet(), kSilent);
    EXPECT_LT(PeakAfter([music] { PlaySound(music, false); }), kSilent) << "without repeat it ends after 50 ms";
}

TEST_F(SoundManagerTest, HandlesKeepTheirNumbersAndTheTableShrinksFromTheEnd) {
    StartSound();
    std::string file = WriteWav("shot.wav");
    int first = LoadSound(file);
    int second = LoadSound(file);
    int third = LoadSound(file);
    ASSERT_EQ(first, 1) << "handle 0 is the placeholder, so the first sound is 1";
    ASSERT_EQ(second, 2);
    ASSERT_EQ(third, 3);

    UnloadSound(second);
    EXPECT_EQ(second, 0) << "unloading clears the caller's handle";
    EXPECT_GT(PeakWhilePlaying(third), kAudible) << "a hole in the middle leaves later handles valid";
    int fourth = LoadSound(file);
    EXPECT_EQ(fourth, 4) << "new sounds are appended, holes are not filled";

    UnloadSound(fourth);
    UnloadSound(third);
    EXPECT_EQ(LoadSound(file), 2) << "free entries at the end are dropped, down to the last sound in use";
}

TEST_F(SoundManagerTest, NoSoundAndReleasedHandlesAreIgnored) {
    StartSound();
    int handle = LoadSound(WriteWav("shot.wav"));
    int copy = handle;
    int none = 0;
    int pastTheTable = 99;

    PlaySound(0, true);
    StopSound(0);
    UnloadSound(none);
    PlaySound(pastTheTable, false);
    UnloadSound(pastTheTable);
    UnloadSound(handle);
    UnloadSound(copy);  // already released: nothing to do
    PlaySound(copy, false);

    EXPECT_EQ(copy, 0);
    EXPECT_LT(PeakOfQuiet(), kSilent) << "none of these may make a sound";
    EXPECT_EQ(LoadSound(WriteWav("other.wav")), 1) << "the table is back to the placeholder";
    EXPECT_EQ(log_.Count("Sound manager is initialized"), 1) << log_.Joined();
}

TEST_F(SoundManagerTest, OneWavFileIsDecodedOnceAndFreedWithItsLastSoundOtherEndingsAreMusic) {
    StartSound();
    std::string file = WriteWav("SHOT.WAV");  // the ending is compared without case
    // A WAV file under another name is music: libsndfile reads it and no buffer is shared.
    std::string renamed = WriteWav("shot.snd");
    int music = LoadSound(renamed);
    EXPECT_NE(music, 0);
    EXPECT_FALSE(log_.Contains("Loading sound " + renamed)) << "any ending but .wav is music";
    EXPECT_GT(PeakWhilePlaying(music), kAudible);

    int first = LoadSound(file);
    int second = LoadSound(file);
    ASSERT_NE(first, 0);
    ASSERT_NE(second, 0);
    EXPECT_NE(first, second) << "every load is a sound of its own";
    EXPECT_EQ(log_.Count("Loading sound " + file), 1) << "the second sound shares the first one's buffer";

    UnloadSound(first);
    EXPECT_GT(PeakWhilePlaying(second), kAudible) << "the shared buffer lives while a sound uses it";

    UnloadSound(second);
    LoadSound(file);
    EXPECT_EQ(log_.Count("Loading sound " + file), 2) << "the buffer went with its last sound";
}

TEST_F(SoundManagerTest, MissingAndBrokenFilesGiveErrorsAndHandleZero) {
    StartSound();
    std::string missing = dir_.File("missing.wav");
    dir_.Write("broken.wav", "RIFF and then nothing that makes a wave");
    dir_.Write("broken.ogg", "OggS and then nothing that makes music");

    EXPECT_EQ(LoadSound(missing), 0);
    EXPECT_EQ(LoadSound(dir_.File("broken.wav")), 0);
    EXPECT_EQ(LoadSound(dir_.File("broken.ogg")), 0);

    EXPECT_TRUE(log_.Contains("File does not exist: " + missing)) << log_.Joined();
    EXPECT_NE(log_.Joined().find("snd E alutLoadWAVFile " + dir_.File("broken.wav") + " : "), std::string::npos)
        << log_.Joined();
    EXPECT_TRUE(log_.Contains("Could not load: ")) << log_.Joined();
    EXPECT_EQ(LoadSound(WriteWav("good.wav")), 1) << "failed loads take no handle";
}

TEST_F(SoundManagerTest, EachVolumeScalesExistingAndLaterSoundsOfItsKindOnly) {
    StartSound();
    const std::string effectFile = WriteWav("shot.wav");
    const std::string musicFile = WriteMusic("theme.flac", SF_FORMAT_FLAC | SF_FORMAT_PCM_16);
    struct Case {
        const char* kind;
        void (*setVolume)(float);
        float volume;
        const std::string& scaledFile;
        const std::string& otherFile;
    };
    const Case cases[] = {{"effects", SetSoundVolume, 0.5f, effectFile, musicFile},
                          {"music", SetMusicVolume, 0.25f, musicFile, effectFile}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind);
        SetSoundVolume(1);
        SetMusicVolume(1);
        int existing = LoadSound(c.scaledFile);
        int other = LoadSound(c.otherFile);
        float full = PeakWhilePlaying(existing);
        float fullOther = PeakWhilePlaying(other);
        ASSERT_GT(full, kAudible);

        c.setVolume(c.volume);
        int later = LoadSound(c.scaledFile);

        EXPECT_NEAR(PeakWhilePlaying(existing), full * c.volume, full * 0.05f) << "sounds loaded before";
        EXPECT_NEAR(PeakWhilePlaying(later), full * c.volume, full * 0.05f) << "sounds loaded later";
        EXPECT_NEAR(PeakWhilePlaying(other), fullOther, fullOther * 0.05f) << "the other kind keeps its volume";
        UnloadSound(existing);
        UnloadSound(other);
        UnloadSound(later);
    }
}

TEST_F(SoundManagerTest, VolumesStayBetweenZeroAndOneAndAreWrittenAsPercentages) {
    SetSoundVolume(1.5f);
    SetMusicVolume(-0.5f);
    EXPECT_FLOAT_EQ(GetSoundVolume(), 1.0f);
    EXPECT_FLOAT_EQ(GetMusicVolume(), 0.0f);
    SetSoundVolume(std::numeric_limits<float>::quiet_NaN());
    EXPECT_FLOAT_EQ(GetSoundVolume(), 0.0f) << "a volume that is no number is silence";

    SetSoundVolume(0.5f);
    SetMusicVolume(0.07f);
    IniFile config;
    WriteSoundVolumes(config);
    EXPECT_EQ(config.GetString("sounds", "sound_volume"), "50") << "volumes are written as percentages";
    EXPECT_EQ(config.GetString("sounds", "music_volume"), "7");
}

TEST_F(SoundManagerTest, EffectsFollowTheVectorsOfTheirObject) {
    StartSound();
    const float ear[3] = {0, 0, 0};
    const float still[3] = {0, 0, 0};
    const float facingForwardUpY[6] = {0, 0, -1, 0, 1, 0};
    SetListener(ear, still, facingForwardUpY);
    Vec3 position{10, 0, 0};
    Vec3 velocity;
    int handle = LoadSound(WriteWav("engine.wav"), &position, &velocity);
    constexpr int kLeft = 0;
    constexpr int kRight = 1;

    float rightWhenRight = PeakWhilePlaying(handle, kRight);
    float leftWhenRight = PeakWhilePlaying(handle, kLeft);
    EXPECT_GT(rightWhenRight, leftWhenRight * 1.5f) << "a sound to the right is louder on the right";

    position.x = -10;
    EXPECT_NEAR(PeakWhilePlaying(handle, kRight), rightWhenRight, rightWhenRight * 0.05f)
        << "moving the object alone changes nothing until UpdatePositions";
    UpdatePositions();
    float rightWhenLeft = PeakWhilePlaying(handle, kRight);
    float leftWhenLeft = PeakWhilePlaying(handle, kLeft);
    EXPECT_GT(leftWhenLeft, rightWhenLeft * 1.5f) << "after UpdatePositions the sound is on the left";
}

TEST_F(SoundManagerTest, InitAndShutdownMayBeRepeated) {
    EXPECT_TRUE(SoundInit());
    std::string file = WriteWav("shot.wav");
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
    std::string file = WriteWav("shot.wav");

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

TEST_F(SoundManagerTest, CallsFromSeveralThreadsAreSerialised) {
    StartSound();
    std::string file = WriteWav("shot.wav");
    Vec3 position;
    auto churn = [&] {
        for (int i = 0; i < 100; ++i) {
            int handle = LoadSound(file, &position);
            PlaySound(handle, false);
            UpdatePositions();
            SetSoundVolume(0.5f);
            UnloadSound(handle);
        }
    };
    std::thread other(churn);
    churn();
    other.join();

    EXPECT_EQ(LoadSound(file), 1) << "every handle of both threads was released";
}

class SoundConfigTest : public SoundManagerTest {};

TEST_F(SoundConfigTest, ReadsInterfaceSoundsAndVolumes) {
    StartSound();
    IniFile config;
    config.Parse("[sounds]\nmouseover=" + WriteWav("over.wav") + "\nmouseclick=" + WriteWav("click.wav") +
                 "\nsound_volume=40\nmusic_volume=30\n");

    ReadSoundConfig(config);

    EXPECT_NE(MouseOverSound(), 0);
    EXPECT_NE(MouseClickSound(), 0);
    EXPECT_NE(MouseOverSound(), MouseClickSound());
    EXPECT_FLOAT_EQ(GetSoundVolume(), 0.4f);
    EXPECT_FLOAT_EQ(GetMusicVolume(), 0.3f);
    EXPECT_GT(PeakWhilePlaying(MouseClickSound()), kAudible) << "the click sound is ready to play";

    ReadSoundConfig(config);
    int over = MouseOverSound();
    int click = MouseClickSound();
    UnloadSound(over);
    UnloadSound(click);
    EXPECT_EQ(LoadSound(dir_.File("over.wav")), 1) << "reading again released the first interface sounds";

    ReadSoundConfig(config);
    ASSERT_NE(MouseOverSound(), 0);
    SoundShutdown();
    EXPECT_EQ(MouseOverSound(), 0) << "shutdown forgets them: their handles would name other sounds after a new init";
    EXPECT_EQ(MouseClickSound(), 0);
}

TEST_F(SoundConfigTest, MissingFilesOrKeysGiveNoSoundAndKeysMissingLeaveVolumes) {
    StartSound();
    SetMusicVolume(0.6f);
    IniFile noKeys;
    noKeys.Parse("[sounds]\n");
    ReadSoundConfig(noKeys);
    EXPECT_EQ(log_.Count("File does not exist: "), 2) << log_.Joined();
    EXPECT_EQ(MouseOverSound(), 0);
    EXPECT_FLOAT_EQ(GetSoundVolume(), 1.0f);
    EXPECT_FLOAT_EQ(GetMusicVolume(), 0.6f) << "a missing volume key leaves the volume";

    TempDir emptyGame;
    ScopedWorkingDirectory inGame(emptyGame.Path());
    IniFile defaults;
    defaults.Parse(kDefaultConfigText);
    ReadSoundConfig(defaults);
    EXPECT_TRUE(log_.Contains("File does not exist: data/sounds/over.wav")) << log_.Joined();
    EXPECT_TRUE(log_.Contains("File does not exist: data/sounds/click.wav")) << log_.Joined();
    EXPECT_EQ(MouseOverSound(), 0);
    EXPECT_EQ(MouseClickSound(), 0);
    EXPECT_FLOAT_EQ(GetSoundVolume(), 1.0f) << "the default config plays effects at full volume";
    EXPECT_FLOAT_EQ(GetMusicVolume(), 0.8f) << "and music at eighty percent";
}

}  // namespace
