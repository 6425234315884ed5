#include "effects/particle_system_manager.h"

#include <gtest/gtest.h>

#include "particle_test_support.h"
#include "support/report_capture.h"

namespace {

class ParticleSystemManagerTest : public ::testing::Test {
protected:
    void SetUp() override {
        manager_.SetClock([] { return int64_t{1000}; });
        manager_.SetTextureLoader([](const std::string&) { return 42u; });
        ASSERT_TRUE(manager_.Init());
    }

    ReportCapture log_;
    ParticleSystemManager manager_;
};

TEST_F(ParticleSystemManagerTest, AnUnknownTypeGivesNoEmitterAndTakesNoEntry) {
    EXPECT_EQ(manager_.AddEmitter(ParticleDefinition{"exhaust", {{"type", "spiral"}}}), 0);
    EXPECT_EQ(log_.Lines().back(), "pts E Type is uknown for exhaust");
    EXPECT_EQ(manager_.TableSize(), 1u) << "failed emitters take no entry";
}

TEST_F(ParticleSystemManagerTest, HandlesStartAtOneAndTheTableShrinksFromTheEnd) {
    for (int i = 0; i < 3; ++i) EXPECT_EQ(manager_.AddEmitter(StillEmitter()), i + 1) << "entry 0 is the placeholder";
    manager_.RemoveEmitter(0);
    manager_.RemoveEmitter(2);
    EXPECT_EQ(manager_.TableSize(), 4u) << "handle 0 is ignored and a hole in the middle stays";
    EXPECT_TRUE(manager_.Inspect(3)) << "handle 3 stays valid";

    manager_.RemoveEmitter(3);
    EXPECT_EQ(manager_.TableSize(), 2u) << "removing the last drops the empty entries before it too";
    manager_.RemoveEmitter(1);
    manager_.RemoveEmitter(1);
    manager_.RemoveEmitter(99);
    manager_.RemoveEmitter(-1);
    EXPECT_EQ(manager_.TableSize(), 1u) << "entry 0 is never dropped";

    manager_.Destroy();
    EXPECT_EQ(manager_.AddEmitter(StillEmitter()), 0) << "no emitters without an initialised manager";
    manager_.UpdateAll();
    ASSERT_TRUE(manager_.Init());
    EXPECT_EQ(manager_.AddEmitter(StillEmitter()), 1) << "Init starts again from scratch";
}

}  // namespace
