#include "effects/particle_system_manager.h"

#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "particle_test_support.h"
#include "support/report_capture.h"

namespace {

class ParticleSystemManagerTest : public ::testing::Test {
protected:
    void SetUp() override {
        manager_.SetClock([this] { return now_; });
        manager_.SetRandomSource(LinearRandom(5));
        manager_.SetTextureLoader([this](const std::string& path) {
            texturePaths_.push_back(path);
            return 42u;
        });
        ASSERT_TRUE(manager_.Init());
    }

    ReportCapture log_;
    ParticleSystemManager manager_;
    int64_t now_ = 1000;
    std::vector<std::string> texturePaths_;
};

TEST_F(ParticleSystemManagerTest, InitReservesHandleZeroOnceAndDestroyEmptiesTheTable) {
    EXPECT_EQ(manager_.TableSize(), 1u);
    EXPECT_TRUE(manager_.Init()) << "a second Init succeeds at once";
    EXPECT_EQ(log_.Count("Particle system manager is initialized"), 1);
    EXPECT_EQ(manager_.AddEmitter(StillEmitter()), 1) << "handles start at 1";
    EXPECT_FALSE(manager_.Inspect(0)) << "entry 0 stays empty";

    manager_.Destroy();
    manager_.Destroy();
    EXPECT_EQ(log_.Count("Particle system manager is destroyed"), 1);
    EXPECT_EQ(manager_.TableSize(), 0u);
    EXPECT_EQ(manager_.AddEmitter(StillEmitter()), 0) << "no emitters without an initialised manager";
    manager_.UpdateAll();
    manager_.RestartEmitter(1);

    ASSERT_TRUE(manager_.Init());
    EXPECT_EQ(manager_.AddEmitter(StillEmitter()), 1) << "Init starts again from scratch";
}

TEST_F(ParticleSystemManagerTest, TypeMustBeGivenAndKnownAndTexturesComeFromTheTextureDirectory) {
    ParticleDefinition untyped{"exhaust", {{"texture", "a.bmp"}}};
    EXPECT_EQ(manager_.AddEmitter(untyped), 0);
    EXPECT_EQ(log_.Lines().back(), "pts E Type is not defined for exhaust");

    ParticleDefinition unknown{"exhaust", {{"type", "spiral"}}};
    EXPECT_EQ(manager_.AddEmitter(unknown), 0);
    EXPECT_EQ(log_.Lines().back(), "pts E Type is uknown for exhaust");
    EXPECT_EQ(manager_.TableSize(), 1u) << "failed emitters take no entry";

    int first = manager_.AddEmitter(StillEmitter());
    manager_.SetTextureDirectory("data/canyon");
    manager_.AddEmitter(StillEmitter({{"texture", "glow.bmp"}}));
    ASSERT_EQ(texturePaths_.size(), 2u);
    EXPECT_EQ(texturePaths_[0], "data/spark.bmp") << "the texture directory starts as data";
    EXPECT_EQ(texturePaths_[1], "data/canyon/glow.bmp");
    EXPECT_EQ(manager_.Inspect(first)->texture, 42u);
}

TEST_F(ParticleSystemManagerTest, RemovingKeepsOtherHandlesAndShrinksFromTheEnd) {
    for (int i = 0; i < 3; ++i) manager_.AddEmitter(StillEmitter());
    manager_.RemoveEmitter(0);
    EXPECT_EQ(manager_.TableSize(), 4u) << "handle 0 is ignored";

    manager_.RemoveEmitter(2);
    EXPECT_EQ(manager_.TableSize(), 4u) << "a hole in the middle stays";
    EXPECT_FALSE(manager_.Inspect(2));
    EXPECT_TRUE(manager_.Inspect(3)) << "handle 3 stays valid";

    manager_.RemoveEmitter(3);
    EXPECT_EQ(manager_.TableSize(), 2u) << "removing the last drops the empty entries before it too";
    EXPECT_EQ(manager_.AddEmitter(StillEmitter()), 2) << "the next emitter reuses the index";

    manager_.RemoveEmitter(1);
    manager_.RemoveEmitter(2);
    manager_.RemoveEmitter(2);
    manager_.RemoveEmitter(99);
    manager_.RemoveEmitter(-1);
    EXPECT_EQ(manager_.TableSize(), 1u) << "entry 0 is never dropped";
}

TEST_F(ParticleSystemManagerTest, RestartRunsAnEmitterOnTheManagersClock) {
    int handle = manager_.AddEmitter(StillEmitter({{"gen_rate", "0.01,0.01,0"}, {"live", "5000,5000,0"}}));
    ASSERT_TRUE(manager_.Inspect(handle)->stopped) << "emitters are created stopped";
    manager_.UpdateAll();
    EXPECT_TRUE(manager_.Inspect(handle)->particles.empty());

    manager_.RestartEmitter(handle);
    now_ += 100;
    manager_.UpdateAll();
    EmitterSnapshot running = *manager_.Inspect(handle);
    EXPECT_FALSE(running.stopped);
    EXPECT_EQ(running.particles.size(), 2u) << "100 ms at 0.01 per ms after the restart";
    EXPECT_FLOAT_EQ(running.particles[0].life, 4900);

    manager_.StopEmitter(handle);
    now_ += 1000;
    manager_.UpdateAll();
    EXPECT_TRUE(manager_.Inspect(handle)->stopped);
    EXPECT_EQ(manager_.Inspect(handle)->particles.size(), 2u) << "stopping ends emission, not the particles";

    manager_.RestartEmitter(0);
    manager_.StopEmitter(0);
}

TEST_F(ParticleSystemManagerTest, EmittersFollowTheirOwnersVectors) {
    Vec3 position{1, 2, 3}, rotation, velocity;
    int handle = manager_.AddEmitter(StillEmitter({{"surf_type", "0"}}), &position, &rotation, &velocity);
    position = {7, 8, 9};
    manager_.RestartEmitter(handle);
    Particle particle = manager_.Inspect(handle)->particles.at(0);
    EXPECT_FLOAT_EQ(particle.position.x, 7) << "the emitter reads the owner's position when emitting";
    EXPECT_FLOAT_EQ(particle.position.z, 9);
}

TEST_F(ParticleSystemManagerTest, TickAndRestartFromTwoThreadsStayConsistent) {
    manager_.SetClock([] { return int64_t{0}; });
    int handle = manager_.AddEmitter(StillEmitter({{"gen_rate", "1,1,0"}, {"regenerate", "1"}}));
    std::atomic<bool> done{false};
    std::thread restarter([&] {
        for (int i = 0; i < 200; ++i) {
            manager_.RestartEmitter(handle);
            manager_.StopEmitter(handle);
        }
        done = true;
    });
    while (!done) manager_.UpdateAll();
    restarter.join();
    EXPECT_LE(manager_.Inspect(handle)->particles.size(), 100u);
}

}  // namespace
