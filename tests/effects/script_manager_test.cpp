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

constexpr float kSilent = 1e-4f;
constexpr float kAudible = 0.05f;

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
    ASSERT_TRUE(scripts->ReadScriptText("ship0", kShipScript)) << log_.Joined();
    EventTrigger fire;
    scripts->BindEvent("fire", fire, &position_, &rotation_, &velocity_);
    ASSERT_EQ(fire.Size(), 2u);
    EXPECT_EQ(log_.Count("Loading sound " + dir_.File("shot.wav")), 1)
        << "the sound is loaded from the data directory, once\n"
        << log_.Joined();
    int emitter = scripts->Actions()[1]->Handle();
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

bool Fails() { return false; }
bool Succeeds() { return true; }

TEST_F(ScriptManagerTest, AScriptManagerLeavesTheServicesToTheirOwnerAndAFailedStartIsFatal) {
    auto menuScripts = MakeScripts();
    auto levelScripts = MakeScripts();
    menuScripts.reset();
    EXPECT_TRUE(log_.Contains("Script manager is destroyed"));
    EXPECT_FALSE(log_.Contains("Sound manager is destroyed")) << "the other script manager still plays sounds";
    EXPECT_FALSE(log_.Contains("Particle system manager is destroyed"));
    ASSERT_TRUE(levelScripts->ReadScriptText("ship0", kShipScript)) << log_.Joined();
    EventTrigger fire;
    levelScripts->BindEvent("fire", fire, &position_, &rotation_, &velocity_);
    const std::vector<int> handles = Handles(*levelScripts);
    EXPECT_EQ(std::count(handles.begin(), handles.end(), 0), 0) << "the sound and the emitter still load\n"
                                                                << log_.Joined();

    const std::pair<EffectsStartup, const char*> failures[] = {
        {EffectsStartup{Fails, Succeeds}, "scr F Could not initialize sound manager"},
        {EffectsStartup{Succeeds, Fails}, "scr F Could not initialize particle system manager"}};
    for (const auto& [startup, line] : failures) {
        try {
            StartEffects(startup);
            ADD_FAILURE() << line << " must be fatal";
        } catch (const FatalReport& fatal) {
            EXPECT_EQ(fatal.line, line);
        }
    }
    levelScripts.reset();
    sound_.Shutdown();
    capture_.BreakDevice();
    EXPECT_THROW(StartEffects(StartupOf(Services())), FatalReport) << "a broken sound device is a failed sound start";
}

TEST_F(ScriptManagerTest, ActionsOfOneScriptShareItsSoundsAndEmitters) {
    auto scripts = MakeScripts();
    ASSERT_TRUE(scripts->ReadScriptText("ship0",
                                        "sound = engine { file = engine.wav; }"
                                        "pts = trail { type = moving; surf_type = 0; texture = t.bmp; }"
                                        "action = moving { LoopSound = engine; StartPts = trail; }"
                                        "action = collision { StopSound = engine; StopPts = trail; }"));
    EventTrigger moving, collision;
    scripts->BindEvent("moving", moving, &position_, &rotation_, &velocity_);
    scripts->BindEvent("collision", collision, &position_, &rotation_, &velocity_);
    std::vector<int> handles = Handles(*scripts);
    ASSERT_EQ(handles.size(), 4u);
    EXPECT_NE(handles[0], 0);
    EXPECT_EQ(handles[2], handles[0]) << "both sound actions share the sound";
    EXPECT_EQ(handles[3], handles[1]) << "both emitter actions share the emitter";
    EXPECT_EQ(particles_.TableSize(), 2u) << "one emitter";
    EXPECT_EQ(scripts->Actions()[0]->Name(), "ship0engine") << "actions are named script name + sound name";

    moving.Start();
    EXPECT_FALSE(particles_.Inspect(handles[1])->stopped);
    collision.Start();
    EXPECT_TRUE(particles_.Inspect(handles[1])->stopped) << "the collision stops the trail";
}

TEST_F(ScriptManagerTest, ShipScriptsShareTheSoundsTheLevelScriptDeclared) {
    const char kShip[] = "sound = engine { file = engine.wav; } action = moving { LoopSound = engine; }";
    auto scripts = MakeScripts();
    EventTrigger ship0, ship1, start;
    ASSERT_TRUE(
        scripts->ReadScriptText("", "sound = engine { file = engine.wav; } action = start { PlaySound = engine; }"));
    scripts->BindEvent("start", start);
    ASSERT_TRUE(scripts->ReadScriptText("ship0", kShip));
    scripts->BindEvent("moving", ship0);
    ASSERT_TRUE(scripts->ReadScriptText("ship1", kShip));
    scripts->BindEvent("moving", ship1);
    std::vector<int> handles = Handles(*scripts);
    ASSERT_EQ(handles.size(), 3u);
    EXPECT_NE(handles[0], 0);
    EXPECT_EQ(handles[1], handles[0]) << "the level script's sound is shared with ship0";
    EXPECT_EQ(handles[2], handles[0]) << "and with ship1";
}

TEST_F(ScriptManagerTest, UnresolvedNamesGiveActionsWithoutHandleAndUnknownEventsNone) {
    auto scripts = MakeScripts();
    ASSERT_TRUE(scripts->ReadScriptText("ship0",
                                        "sound = mute { volume = 3; }"
                                        "pts = broken { texture = t.bmp; }"
                                        "action = fire { PlaySound = boom; PlaySound = mute; StartPts = smoke;"
                                        " StartPts = broken; Explode = now; }"));
    EventTrigger fire;
    scripts->BindEvent("fire", fire);
    EXPECT_EQ(Handles(*scripts), (std::vector<int>{0, 0, 0, 0})) << "other keys make no action";
    EXPECT_EQ(fire.Size(), 4u);
    EXPECT_TRUE(log_.Contains("Unreferenced sound boom at script ship0")) << log_.Joined();
    EXPECT_TRUE(log_.Contains("Sound mute at script ship0 is missing file location"));
    EXPECT_TRUE(log_.Contains("Unreferenced particle emitter smoke at script ship0"));
    EXPECT_TRUE(log_.Contains("Type is not defined for broken"));
    fire.Start();
    fire.Stop();
    EventTrigger collision;
    scripts->BindEvent("collision", collision);
    scripts->BindEvent("mute", collision);
    EXPECT_TRUE(collision.Empty()) << "an event without action block, or naming a sound block, binds nothing";
}

TEST_F(ScriptManagerTest, ResetReleasesEverySharedHandleOnce) {
    auto scripts = MakeScripts();
    ASSERT_TRUE(scripts->ReadScriptText("ship0",
                                        "sound = engine { file = engine.wav; }"
                                        "pts = trail { type = moving; texture = t.bmp; }"
                                        "action = moving { LoopSound = engine; StartPts = trail; }"
                                        "action = stopped { StopSound = engine; StopPts = trail; }"));
    EventTrigger moving, stopped;
    scripts->BindEvent("moving", moving);
    scripts->BindEvent("stopped", stopped);
    int scriptEmitter = scripts->Actions()[1]->Handle();
    int kept = particles_.AddEmitter(ParticleDefinition{"kept", {{"type", "moving"}}});
    int keptSound = sound_.LoadSound(dir_.File("shot.wav"));
    ASSERT_NE(keptSound, 0);

    scripts->Reset();
    EXPECT_TRUE(scripts->Actions().empty());
    EXPECT_FALSE(particles_.Inspect(scriptEmitter)) << "the script's emitter is removed";
    EXPECT_TRUE(particles_.Inspect(kept)) << "other emitters stay";

    log_.Clear();
    ASSERT_TRUE(scripts->ReadScriptText(
        "ship0", "sound = engine { file = engine.wav; } action = moving { LoopSound = engine; }"));
    EventTrigger again;
    scripts->BindEvent("moving", again);
    EXPECT_TRUE(log_.Contains("Loading sound " + dir_.File("engine.wav")))
        << "the shared sound's buffer was released with its last action";
    EXPECT_GT(capture_.PeakAfter([this, keptSound] { sound_.PlaySound(keptSound, false); }, 80, 150), kAudible)
        << "a sound the scripts did not load survives their reset";
}

}  // namespace
