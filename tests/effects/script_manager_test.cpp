#include "effects/script_manager.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "base/clock.h"
#include "effects/particle_system_manager.h"
#include "effects/sound_manager.h"
#include "scene/texture_manager.h"
#include "sound_capture.h"
#include "sound_test_files.h"
#include "support/report_capture.h"
#include "support/temp_dir.h"

namespace {

const char kShipScript[] =
    "// the ship's gun\n"
    "sound = shot { file = shot.wav; }\n"
    "pts = sparks {\n"
    "  type = moving; surf_type = -1; texture = spark.bmp;\n"
    "  live = 300,300,0; gen_rate = 0.02,0.02,0; size = 1,0,0; particles = 50;\n"
    "}\n"
    "action = fire { PlaySound = shot; StartPts = sparks; }\n";

class ScriptManagerTest : public ::testing::Test {
protected:
    void SetUp() override {
        capture_.RepairDevice();
        particles_.SetClock([this] { return now_; });
        particles_.SetTextureLoader([](const std::string&) { return 0u; });
        ASSERT_TRUE(WriteToneFile(dir_.File("shot.wav"), kWavFormat, ToneSpec{1, 22050, 0.2}));
        ASSERT_TRUE(WriteToneFile(dir_.File("engine.wav"), kWavFormat));
    }
    void TearDown() override { particles_.SetClock(NowMs); }

    EffectServices Services() { return {sound_, particles_, textures_}; }

    // Scripts over started services, as the application lends them.
    std::unique_ptr<ScriptManager> MakeScripts() {
        StartEffects(StartupOf(Services()));
        auto scripts = std::make_unique<ScriptManager>(Services());
        scripts->SetDataDirectory(dir_.Path());
        return scripts;
    }

    // Reads the script and binds each event, at the fixture's ship, to a trigger of its own.
    std::vector<EventTrigger> Read(ScriptManager& scripts, const std::string& name, const std::string& text,
                                   const std::vector<std::string>& events) {
        EXPECT_TRUE(scripts.ReadScriptText(name, text)) << log_.Joined();
        std::vector<EventTrigger> triggers(events.size());
        for (size_t i = 0; i < events.size(); ++i)
            scripts.BindEvent(events[i], triggers[i], &position_, &rotation_, &velocity_);
        return triggers;
    }

    std::vector<int> Handles(const ScriptManager& scripts) {
        std::vector<int> handles;
        for (const auto& action : scripts.Actions()) handles.push_back(action->Handle());
        return handles;
    }

    SoundCapture& capture_ = SoundCapture::Instance();
    ReportCapture log_;
    SoundManager sound_;
    ParticleSystemManager particles_;
    TextureManager textures_{nullptr};
    TempDir dir_;
    int64_t now_ = 0;
    Vec3 position_, rotation_, velocity_;
};

TEST_F(ScriptManagerTest, FireEventPlaysTheSoundOnceAndRunsTheEmitter) {
    auto scripts = MakeScripts();
    ASSERT_TRUE(capture_.WaitForFrames(1)) << "the wave backend writes nothing";
    const EventTrigger fire = Read(*scripts, "ship0", kShipScript, {"fire"})[0];
    ASSERT_EQ(fire.Size(), 2u);
    const int emitter = scripts->Actions()[1]->Handle();
    ASSERT_NE(emitter, 0);
    EXPECT_TRUE(particles_.Inspect(emitter)->stopped);

    position_ = {4, 5, 6};
    EXPECT_GT(capture_.PeakAfter([&fire] { fire.Start(); }, 80, 180), kAudible) << "the shot must be heard";
    EXPECT_LT(capture_.PeakAfter([] {}, 400, 600), kSilent) << "a 0.2 s shot is heard once, not looped";

    EmitterSnapshot sparks = *particles_.Inspect(emitter);
    EXPECT_FALSE(sparks.stopped) << "the shot starts the emitter";
    ASSERT_EQ(sparks.particles.size(), 1u);
    EXPECT_FLOAT_EQ(sparks.particles[0].position.x, 4) << "at the ship's position";
    now_ += 100;
    scripts->Tick();
    EXPECT_EQ(particles_.Inspect(emitter)->particles.size(), 3u) << "the script tick runs the emitter";

    fire.Stop();
    EXPECT_TRUE(particles_.Inspect(emitter)->stopped) << "the end of the event stops the emitter";
}

TEST_F(ScriptManagerTest, AScriptManagerLeavesTheServicesToTheirOwnerAndAFailedStartIsFatal) {
    auto menuScripts = MakeScripts();
    auto levelScripts = MakeScripts();
    menuScripts.reset();
    Read(*levelScripts, "ship0", kShipScript, {"fire"});
    const std::vector<int> handles = Handles(*levelScripts);
    EXPECT_EQ(std::count(handles.begin(), handles.end(), 0), 0)
        << "the other script manager still loads sounds and emitters\n"
        << log_.Joined();

    EXPECT_THROW(StartEffects(EffectsStartup{[] { return true; }, [] { return false; }}), FatalReport)
        << "a failed particle start is fatal too";
    levelScripts.reset();
    sound_.Shutdown();
    capture_.BreakDevice();
    EXPECT_THROW(StartEffects(StartupOf(Services())), FatalReport) << "a broken sound device is a failed sound start";
}

// Ship 0 declares its own sound and emitter; ships 1 and 2 name the level script's sound.
TEST_F(ScriptManagerTest, ActionsShareTheirScriptsSoundsAndEmittersAndShipsTheLevelScriptsSounds) {
    const char kShip[] = "sound = engine { file = engine.wav; } action = moving { LoopSound = engine; }";
    auto scripts = MakeScripts();
    Read(*scripts, "", "sound = engine { file = engine.wav; } action = start { PlaySound = engine; }", {"start"});
    const std::vector<EventTrigger> ship0 = Read(*scripts, "ship0",
                                                 "sound = hum { file = shot.wav; }"
                                                 "pts = trail { type = moving; surf_type = 0; texture = t.bmp; }"
                                                 "action = moving { LoopSound = hum; StartPts = trail; }"
                                                 "action = collision { StopSound = hum; StopPts = trail; }",
                                                 {"moving", "collision"});
    Read(*scripts, "ship1", kShip, {"moving"});
    Read(*scripts, "ship2", kShip, {"moving"});
    const std::vector<int> handles = Handles(*scripts);
    ASSERT_EQ(handles.size(), 7u);
    EXPECT_TRUE(handles[0] != 0 && handles[1] != 0 && handles[2] != 0);
    EXPECT_EQ(handles,
              (std::vector<int>{handles[0], handles[1], handles[2], handles[1], handles[2], handles[0], handles[0]}))
        << "both of ship 0's sound actions share its sound, both emitter actions its emitter, and the ships "
           "share the level script's sound";
    EXPECT_EQ(particles_.TableSize(), 2u) << "one emitter";
    EXPECT_EQ(scripts->Actions()[1]->Name(), "ship0hum") << "actions are named script name + sound name";

    ship0[0].Start();
    EXPECT_FALSE(particles_.Inspect(handles[2])->stopped);
    ship0[1].Start();
    EXPECT_TRUE(particles_.Inspect(handles[2])->stopped) << "the collision stops the trail";
}

TEST_F(ScriptManagerTest, UnresolvedNamesGiveActionsWithoutHandleAndUnknownEventsNone) {
    auto scripts = MakeScripts();
    const std::vector<EventTrigger> triggers = Read(*scripts, "ship0",
                                                    "sound = mute { volume = 3; }"
                                                    "pts = broken { texture = t.bmp; }"
                                                    "action = fire { PlaySound = boom; PlaySound = mute;"
                                                    " StartPts = smoke; StartPts = broken; Explode = now; }",
                                                    {"fire", "collision", "mute"});
    EXPECT_EQ(Handles(*scripts), (std::vector<int>{0, 0, 0, 0})) << "other keys make no action";
    EXPECT_EQ(triggers[0].Size(), 4u);
    for (const char* line :
         {"Unreferenced sound boom at script ship0", "Sound mute at script ship0 is missing file location",
          "Unreferenced particle emitter smoke at script ship0", "Type is not defined for broken"})
        EXPECT_TRUE(log_.Contains(line)) << line << "\n" << log_.Joined();
    triggers[0].Start();
    triggers[0].Stop();
    EXPECT_TRUE(triggers[1].Empty() && triggers[2].Empty())
        << "an event without action block, or naming a sound block, binds nothing";
}

TEST_F(ScriptManagerTest, ResetReleasesEverySharedHandleOnce) {
    auto scripts = MakeScripts();
    Read(*scripts, "ship0",
         "sound = engine { file = engine.wav; }"
         "pts = trail { type = moving; texture = t.bmp; }"
         "action = moving { LoopSound = engine; StartPts = trail; }"
         "action = stopped { StopSound = engine; StopPts = trail; }",
         {"moving", "stopped"});
    const int scriptEmitter = scripts->Actions()[1]->Handle();
    const int kept = particles_.AddEmitter(ParticleDefinition{"kept", {{"type", "moving"}}});
    const int keptSound = sound_.LoadSound(dir_.File("shot.wav"));
    ASSERT_NE(keptSound, 0);

    scripts->Reset();
    EXPECT_TRUE(scripts->Actions().empty());
    EXPECT_FALSE(particles_.Inspect(scriptEmitter)) << "the script's emitter is removed";
    EXPECT_TRUE(particles_.Inspect(kept)) << "other emitters stay";

    log_.Clear();
    Read(*scripts, "ship0", "sound = engine { file = engine.wav; } action = moving { LoopSound = engine; }",
         {"moving"});
    EXPECT_TRUE(log_.Contains("Loading sound " + dir_.File("engine.wav")))
        << "the shared sound's buffer was released with its last action";
    EXPECT_GT(capture_.PeakAfter([this, keptSound] { sound_.PlaySound(keptSound, false); }, 80, 150), kAudible)
        << "a sound the scripts did not load survives their reset";
}

}  // namespace
