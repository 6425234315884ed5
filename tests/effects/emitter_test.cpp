#include "effects/emitter.h"

#include <gtest/gtest.h>

#include <memory>

#include "particle_test_support.h"
#include "support/report_capture.h"

namespace {

class EmitterTest : public ::testing::Test {
protected:
    Emitter& Make(const ParticleDefinition& definition) {
        emitter_ = MakeEmitter(definition.Get("type"), random_);
        EXPECT_NE(emitter_, nullptr) << definition.Get("type");
        emitter_->Attach(&position_, &rotation_, &velocity_);
        emitter_->Load(definition, "data", nullptr);
        return *emitter_;
    }

    RandomSource random_ = LinearRandom(3);
    std::unique_ptr<Emitter> emitter_;
    Vec3 position_, rotation_, velocity_;
    ReportCapture log_;
};

TEST_F(EmitterTest, FixedSizeShrinksLinearlyOverTheLife) {
    Emitter& emitter = Make(StillEmitter({{"live", "500,500,0"}, {"size", "1,0,0"}, {"alpha", "1,0,0"}}));
    emitter.Restart(0);
    const float expected[][2] = {{100, 0.8f}, {250, 0.5f}, {500, 0.0f}};
    for (const auto& [now, size] : expected) {
        emitter.Tick(static_cast<int64_t>(now));
        Particle particle = emitter.Particles().at(0);
        EXPECT_NEAR(particle.size, size, 1e-5) << "size at " << now << " ms";
        EXPECT_NEAR(particle.colour.a, size, 1e-5) << "alpha fades the same way";
    }
}

TEST_F(EmitterTest, EmissionRateAccumulatesFromTheRestartUpToTheMaximum) {
    Emitter& emitter = Make(StillEmitter({{"live", "10000,10000,0"}, {"gen_rate", "0.01,0.01,0"}}));
    emitter.Tick(100);
    EXPECT_TRUE(emitter.Particles().empty()) << "an emitter starts stopped and emits nothing";
    emitter.Restart(0);
    const size_t expected[] = {1, 2, 2, 3, 3, 4};
    for (int tick = 1; tick <= 6; ++tick) {
        emitter.Tick(tick * 50);
        EXPECT_EQ(emitter.Particles().size(), expected[tick - 1]) << "after tick " << tick << " of 50 ms";
    }

    Emitter& capped = Make(StillEmitter({{"gen_rate", "1000,1000,0"}, {"particles", "2000000000"}}));
    EXPECT_TRUE(log_.Contains("Too many particles for still, using 10000")) << log_.Joined();
    capped.Restart(0);
    capped.Tick(1000);
    EXPECT_EQ(capped.Particles().size(), static_cast<size_t>(kMaxParticlesPerEmitter));
}

TEST_F(EmitterTest, BurstKeepsDeadParticlesFrozenUntilTheLastDiesThenClears) {
    Emitter& emitter = Make(
        StillEmitter({{"live", "100,300,1"}, {"gen_rate", "1,1,0"}, {"particles", "5"}, {"x_vel", "0.01,0.01,0"}}));
    emitter.Restart(0);
    std::vector<Particle> previous = emitter.Particles();
    bool sawFrozenBesideAlive = false;
    int64_t now = 0;
    while (!emitter.IsStopped() && now < 1000) {
        now += 10;
        emitter.Tick(now);
        std::vector<Particle> current = emitter.Particles();
        if (current.empty()) break;
        ASSERT_EQ(current.size(), 5u) << "dead particles stay in place";
        bool anyAlive = false, anyDead = false;
        for (size_t i = 0; i < current.size(); ++i) {
            if (i < previous.size() && previous[i].life < 0) {
                EXPECT_FLOAT_EQ(current[i].position.x, previous[i].position.x) << "a dead particle must not move";
                EXPECT_FLOAT_EQ(current[i].life, previous[i].life) << "a dead particle is not advanced";
            }
            (current[i].life < 0 ? anyDead : anyAlive) = true;
        }
        sawFrozenBesideAlive = sawFrozenBesideAlive || (anyDead && anyAlive);
        previous = current;
    }
    EXPECT_TRUE(sawFrozenBesideAlive) << "the lives should have differed";
    EXPECT_TRUE(emitter.IsStopped()) << "the burst ends when all are dead";
    EXPECT_TRUE(emitter.Particles().empty()) << "and its particles are cleared";
    emitter.Tick(now + 10);
    EXPECT_TRUE(emitter.Particles().empty()) << "a finished burst does not emit again";
    emitter.Restart(now + 20);
    EXPECT_EQ(emitter.Particles().size(), 1u) << "until it is restarted";
}

TEST_F(EmitterTest, EmitterWithoutSurfaceEmitsNothing) {
    Emitter& emitter = Make(StillEmitter({{"surf_type", "2"}, {"gen_rate", "1,1,0"}}));
    emitter.Restart(0);
    emitter.Tick(100);
    EXPECT_TRUE(emitter.Particles().empty());
}

}  // namespace
