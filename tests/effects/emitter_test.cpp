#include "effects/emitter.h"

#include <gtest/gtest.h>

#include <cmath>
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

TEST_F(EmitterTest, EveryKindIsMadeAndOthersAreNot) {
    for (const char* type : {"moving", "circular", "marking", "follower"})
        EXPECT_NE(MakeEmitter(type, random_), nullptr) << type;
    EXPECT_EQ(MakeEmitter("Moving", random_), nullptr);
    EXPECT_EQ(MakeEmitter("", random_), nullptr);
}

TEST_F(EmitterTest, AnEmitterStartsStoppedAndRunsFromRestart) {
    Emitter& emitter = Make(StillEmitter());
    EXPECT_TRUE(emitter.IsStopped());
    emitter.Tick(100);
    EXPECT_TRUE(emitter.Particles().empty()) << "a stopped emitter emits nothing";

    emitter.Restart(5000);
    EXPECT_FALSE(emitter.IsStopped());
    ASSERT_EQ(emitter.Particles().size(), 1u) << "a restart starts with one particle";
}

TEST_F(EmitterTest, FixedLiveGivesEveryParticleTheSameLife) {
    Emitter& emitter = Make(StillEmitter({{"live", "500,500,0"}, {"gen_rate", "0.1,0.1,0"}}));
    emitter.Restart(1000);
    EXPECT_FLOAT_EQ(emitter.Particles()[0].life, 500);
    emitter.Tick(1050);
    auto particles = emitter.Particles();
    ASSERT_EQ(particles.size(), 6u) << "0.1 from the restart plus 50 ms at 0.1 per ms";
    for (const Particle& particle : particles)
        EXPECT_FLOAT_EQ(particle.life, 450) << "each started with 500 ms and lived 50";
}

TEST_F(EmitterTest, RandomLiveSpreadsLivesOverTheRange) {
    Emitter& emitter = Make(StillEmitter({{"live", "200,800,1"}, {"gen_rate", "1,1,0"}}));
    emitter.Restart(0);
    emitter.Tick(20);
    auto particles = emitter.Particles();
    ASSERT_GE(particles.size(), 10u);
    float lowest = 1e9f, highest = -1e9f;
    for (const Particle& particle : particles) {
        float started = particle.life + 20;  // every particle, old or new, was advanced by 20 ms
        lowest = std::min(lowest, started);
        highest = std::max(highest, started);
    }
    EXPECT_GE(lowest, 200);
    EXPECT_LE(highest, 800);
    EXPECT_GT(highest - lowest, 100) << "random lives must spread over the range";
}

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

TEST_F(EmitterTest, RandomSizeIsDrawnOnceAndKept) {
    random_ = Repeating({16384});
    Emitter& emitter = Make(StillEmitter({{"live", "500,500,0"}, {"size", "1,3,1"}}));
    emitter.Restart(0);
    EXPECT_NEAR(emitter.Particles()[0].size, 2, 1e-3);
    emitter.Tick(300);
    EXPECT_NEAR(emitter.Particles()[0].size, 2, 1e-3) << "a random size does not change";
}

TEST_F(EmitterTest, EmissionRateAccumulatesOverTicks) {
    Emitter& emitter = Make(StillEmitter({{"live", "10000,10000,0"}, {"gen_rate", "0.01,0.01,0"}}));
    emitter.Restart(0);
    const size_t expected[] = {1, 2, 2, 3, 3, 4};
    for (int tick = 1; tick <= 6; ++tick) {
        emitter.Tick(tick * 50);
        EXPECT_EQ(emitter.Particles().size(), expected[tick - 1]) << "after tick " << tick << " of 50 ms";
    }
}

TEST_F(EmitterTest, EmissionStopsAtTheMaximumAndHugeMaximumsAreCapped) {
    Emitter& small = Make(StillEmitter({{"gen_rate", "1,1,0"}, {"particles", "4"}}));
    small.Restart(0);
    small.Tick(100);
    EXPECT_EQ(small.Particles().size(), 4u);

    Emitter& emitter = Make(StillEmitter({{"gen_rate", "1000,1000,0"}, {"particles", "2000000000"}}));
    EXPECT_TRUE(log_.Contains("Too many particles for still, using 10000")) << log_.Joined();
    emitter.Restart(0);
    emitter.Tick(1000);
    EXPECT_EQ(emitter.Particles().size(), static_cast<size_t>(kMaxParticlesPerEmitter));
}

TEST_F(EmitterTest, BurstKeepsDeadParticlesFrozenUntilTheLastDies) {
    Emitter& emitter = Make(StillEmitter(
        {{"live", "100,300,1"}, {"gen_rate", "1,1,0"}, {"particles", "5"}, {"x_vel", "0.01,0.01,0"}}));
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
    EXPECT_LE(now, 320) << "a particle is counted dead on the tick after its life ran out";

    emitter.Tick(now + 10);
    EXPECT_TRUE(emitter.Particles().empty()) << "a finished burst does not emit again";
    emitter.Restart(now + 20);
    EXPECT_EQ(emitter.Particles().size(), 1u) << "until it is restarted";
}

TEST_F(EmitterTest, RegeneratingEmitterReplacesDeadParticles) {
    Emitter& emitter =
        Make(StillEmitter({{"live", "100,100,0"}, {"gen_rate", "0.1,0.1,0"}, {"particles", "5"}, {"regenerate", "1"}}));
    emitter.Restart(0);
    for (int64_t now = 10; now <= 1000; now += 10) {
        emitter.Tick(now);
        auto particles = emitter.Particles();
        EXPECT_LE(particles.size(), 5u);
        for (const Particle& particle : particles) EXPECT_GE(particle.life, 0) << "dead particles are removed";
    }
    EXPECT_FALSE(emitter.IsStopped()) << "a regenerating emitter runs until stopped";
    EXPECT_FALSE(emitter.Particles().empty());

    emitter.Stop();
    for (int64_t now = 1010; now <= 1300; now += 10) emitter.Tick(now);
    EXPECT_TRUE(emitter.Particles().empty()) << "once stopped, no new particles replace the dead";
}

TEST_F(EmitterTest, EmitterWithoutSurfaceEmitsNothing) {
    Emitter& emitter = Make(StillEmitter({{"surf_type", "2"}, {"gen_rate", "1,1,0"}}));
    EXPECT_FALSE(emitter.HasSurface());
    emitter.Restart(0);
    EXPECT_TRUE(emitter.Particles().empty());
    emitter.Tick(100);
    EXPECT_TRUE(emitter.Particles().empty());
}

TEST_F(EmitterTest, TextureIsLoadedFromTheTextureDirectoryAndAMissingOneIsLogged) {
    std::string asked;
    emitter_ = MakeEmitter("moving", random_);
    emitter_->Load(StillEmitter(), "data/lvl", [&asked](const std::string& path) {
        asked = path;
        return 7u;
    });
    EXPECT_EQ(asked, "data/lvl/spark.bmp");
    EXPECT_EQ(emitter_->Texture(), 7u);

    Make(StillEmitter({{"texture", ""}}));
    EXPECT_TRUE(log_.Contains("No texture defined for still")) << log_.Joined();
    EXPECT_EQ(emitter_->Texture(), 0u) << "an emitter without texture draws untextured";
}

TEST_F(EmitterTest, VelocityGravityAndTheOwnersMotionMoveParticles) {
    velocity_ = {0, 0, 0.5f};
    Emitter& emitter = Make(StillEmitter({{"x_vel", "0.01,0.01,0"}, {"y_grv", "0.001,0.001,0"}}));
    emitter.Restart(0);
    Particle born = emitter.Particles()[0];
    EXPECT_FLOAT_EQ(born.velocity.z, 0.5f) << "new particles take the owner's velocity";
    emitter.Tick(10);
    Particle moved = emitter.Particles()[0];
    EXPECT_FLOAT_EQ(moved.velocity.y, 0.01f) << "gravity changes the velocity per ms";
    EXPECT_FLOAT_EQ(moved.position.x, 0.1f);
    EXPECT_FLOAT_EQ(moved.position.y, 0.1f) << "after the velocity was changed by gravity";
    EXPECT_FLOAT_EQ(moved.position.z, 5);
}

TEST_F(EmitterTest, ParticlesStartAtTheSurfaceTurnedWithTheOwner) {
    position_ = {10, 0, 0};
    rotation_ = {0, 0, 90};
    Emitter& emitter = Make(StillEmitter({{"surf_type", "0"}, {"surf_loc_rot", "1,0,0,0,0,0"}}));
    emitter.Restart(0);
    Particle particle = emitter.Particles()[0];
    EXPECT_NEAR(particle.position.x, 10, 1e-5) << "location (1,0,0) turned 90 degrees about z";
    EXPECT_NEAR(particle.position.y, 1, 1e-5);
}

TEST_F(EmitterTest, VelocityIsTurnedBySurfaceAndOwner) {
    for (const char* xVel : {"1,1,0", "1,1,1"}) {
        rotation_ = {0, 0, 90};
        Emitter& emitter = Make(StillEmitter({{"surf_loc_rot", "0,0,0,90,0,0"}, {"x_vel", xVel}}));
        emitter.Restart(0);
        Particle particle = emitter.Particles()[0];
        // The surface turn about x leaves (1,0,0) alone; the owner's turns it to y.
        EXPECT_NEAR(particle.velocity.y, 1, 1e-5) << "x_vel " << xVel;

        rotation_ = {};
        Emitter& tilted = Make(StillEmitter({{"surf_loc_rot", "0,0,0,0,0,90"}, {"x_vel", xVel}}));
        tilted.Restart(0);
        EXPECT_NEAR(tilted.Particles()[0].velocity.y, 1, 1e-5)
            << "the surface rotation turns fixed and random velocities alike, x_vel " << xVel;
    }
}

TEST_F(EmitterTest, MarksDoNotInheritTheOwnersMotion) {
    velocity_ = {3, 0, 0};
    Emitter& emitter = Make(StillEmitter({{"type", "marking"}, {"y_vel", "0.5,0.5,0"}}));
    emitter.Restart(0);
    Particle mark = emitter.Particles()[0];
    EXPECT_FLOAT_EQ(mark.velocity.x, 0);
    EXPECT_FLOAT_EQ(mark.velocity.y, 0.5f);
}

TEST_F(EmitterTest, FollowersStayOnTheEmitter) {
    Emitter& emitter =
        Make(StillEmitter({{"type", "follower"}, {"surf_type", "0"}, {"x_vel", "1,1,0"}, {"surf_loc_rot", "0,2,0,0,0,0"}}));
    emitter.Restart(0);
    position_ = {5, 5, 5};
    emitter.Tick(100);
    Particle particle = emitter.Particles()[0];
    EXPECT_FLOAT_EQ(particle.position.x, 5) << "the particle's own velocity is overridden";
    EXPECT_FLOAT_EQ(particle.position.y, 7) << "it sits on the moved emitter plus the surface location";
}

TEST_F(EmitterTest, CircularParticlesFlyOutwardsFromTheCentre) {
    position_ = {100, 0, 0};
    Emitter& emitter = Make(StillEmitter({{"type", "circular"},
                                          {"surf_type", "1"},
                                          {"circ_rad_incs", "2,4"},
                                          {"surf_loc_rot", "0,0,1,0,0,0"},
                                          {"gen_rate", "1,1,0"},
                                          {"x_vel", "0.3,0.3,0"},
                                          {"y_vel", "0.4,0.4,0"},
                                          {"z_vel", "0.1,0.1,0"}}));
    emitter.Restart(0);
    Particle first = emitter.Particles()[0];
    EXPECT_FLOAT_EQ(first.position.x, 100);
    EXPECT_FLOAT_EQ(first.position.y, 2) << "the circle starts at the top";
    EXPECT_FLOAT_EQ(first.position.z, 1) << "around the surface location";
    EXPECT_NEAR(first.velocity.x, 0, 1e-6);
    EXPECT_NEAR(first.velocity.y, 0.5f, 1e-6) << "outwards at the speed of (x_vel, y_vel)";
    EXPECT_FLOAT_EQ(first.velocity.z, 0.1f) << "z_vel as drawn";

    emitter.Tick(1);
    Particle second = emitter.Particles()[1];
    EXPECT_NEAR(second.velocity.x, 0.5f, 1e-6) << "the next point is 90 degrees on";
    EXPECT_NEAR(second.velocity.y, 0, 1e-6);
}

TEST_F(EmitterTest, CircularEmitterTurnsWithTheOwner) {
    rotation_ = {90, 0, 0};
    Emitter& emitter = Make(StillEmitter({{"type", "circular"}, {"surf_type", "1"}, {"circ_rad_incs", "2,4"}}));
    emitter.Restart(0);
    Particle first = emitter.Particles()[0];
    EXPECT_NEAR(first.position.y, 0, 1e-5);
    EXPECT_NEAR(first.position.z, 2, 1e-5) << "the circle's top turned 90 degrees about x";
}

}  // namespace
