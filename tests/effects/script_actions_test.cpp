#include "effects/script_actions.h"

#include <gtest/gtest.h>

#include "app/clock.h"
#include "effects/particle_system_manager.h"
#include "particle_test_support.h"
#include "support/report_capture.h"

namespace {

class ScriptActionsTest : public ::testing::Test {
protected:
    void SetUp() override {
        particles_.SetClock([this] { return now_; });
        particles_.SetTextureLoader([](const std::string&) { return 0u; });
        ASSERT_TRUE(particles_.Init());
        handle_ = particles_.AddEmitter(StillEmitter());
    }
    void TearDown() override {
        particles_.Destroy();
        particles_.SetClock(NowMs);
    }

    bool Stopped() { return particles_.Inspect(handle_)->stopped; }

    ReportCapture log_;
    ParticleSystemManager& particles_ = ParticleSystemManager::Instance();
    int64_t now_ = 0;
    int handle_ = 0;
};

TEST_F(ScriptActionsTest, StatementKeysChooseTheActionClass) {
    EXPECT_NE(dynamic_cast<PlaySoundAction*>(MakeScriptAction("PlaySound", 1, "s").get()), nullptr);
    EXPECT_NE(dynamic_cast<PlaySoundAction*>(MakeScriptAction("LoopSound", 1, "s").get()), nullptr);
    EXPECT_NE(dynamic_cast<StopSoundAction*>(MakeScriptAction("StopSound", 1, "s").get()), nullptr);
    EXPECT_NE(dynamic_cast<StartPtsAction*>(MakeScriptAction("StartPts", 1, "s").get()), nullptr);
    EXPECT_NE(dynamic_cast<StopPtsAction*>(MakeScriptAction("StopPts", 1, "s").get()), nullptr);
    EXPECT_EQ(MakeScriptAction("playsound", 1, "s"), nullptr) << "keys are case sensitive";
    EXPECT_EQ(MakeScriptAction("file", 1, "s"), nullptr);

    EXPECT_EQ(ActionKindOf("LoopSound"), ActionKind::kSound);
    EXPECT_EQ(ActionKindOf("StopPts"), ActionKind::kEmitter);
    EXPECT_EQ(ActionKindOf("Explode"), std::nullopt);
}

TEST_F(ScriptActionsTest, StartPtsRunsTheEmitterWhileTheEventLasts) {
    StartPtsAction action(handle_, "trail");
    action.Start();
    EXPECT_FALSE(Stopped()) << "the event start restarts the emitter";
    EXPECT_EQ(particles_.Inspect(handle_)->particles.size(), 1u);
    action.Stop();
    EXPECT_TRUE(Stopped()) << "the event stop stops it";
}

TEST_F(ScriptActionsTest, StopPtsStopsOnTheEventStartOnly) {
    particles_.RestartEmitter(handle_);
    StopPtsAction action(handle_, "trail");
    action.Stop();
    EXPECT_FALSE(Stopped()) << "the event stop does nothing";
    action.Start();
    EXPECT_TRUE(Stopped());
}

TEST_F(ScriptActionsTest, EmitterActionsWithoutHandleDoNothing) {
    particles_.RestartEmitter(handle_);
    StartPtsAction start(0, "missing");
    StopPtsAction stop(0, "missing");
    start.Start();
    start.Stop();
    stop.Start();
    stop.Release();
    EXPECT_FALSE(Stopped()) << "handle 0 must not reach any emitter";
    EXPECT_EQ(particles_.TableSize(), 2u);
}

TEST_F(ScriptActionsTest, ReleasingTwiceRemovesTheEmitterOnce) {
    int other = particles_.AddEmitter(StillEmitter());
    StartPtsAction first(handle_, "trail");
    StopPtsAction second(handle_, "trail");
    first.Release();
    EXPECT_EQ(first.Handle(), 0);
    EXPECT_FALSE(particles_.Inspect(handle_));
    second.Release();
    EXPECT_TRUE(particles_.Inspect(other)) << "a second release must not touch other emitters";
}

}  // namespace
